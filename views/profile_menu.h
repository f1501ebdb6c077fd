// The Profiles menu of the menu bar: "All", a separator and one item per
// profile (60001, 60002, ... in the volume's order). Choosing one restricts the
// contacts list to the profile's categories.
#pragma once

// Rebuilds the profile items after the separator and checks the active
// profile; returns the number of profiles (also kept in profileCount).
int BuildProfilesMenu(const wchar_t* activeProfile);

// Start-up: the stored active profile, or "All" when the volume holds no
// profile of that name (reading a missing one would create it empty); then
// the menu and the category restriction for it.
void SetUpActiveProfile();

// Makes the profile of a menu command (60000 to 60000 + profileCount) active,
// stores it, restricts the contacts to it and refills the lists.
void SelectProfile(int commandId);
