// Profiles: named sets of contact categories, one "pfile-" database of text
// records each, and the category restriction built from the active one.
#pragma once

// Number of profiles in the Profiles menu; profile n has command 60000 + n.
extern int profileCount;
