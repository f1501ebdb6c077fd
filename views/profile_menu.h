// The Profiles menu: choosing a profile restricts the contacts list to its
// categories.
#pragma once

// Makes profile index active (0 is "All") and refills the lists.
void SelectProfile(int index);
