#include "views/profile_menu.h"

// Profiles arrive with their page; until then "All" is the only choice and
// there is nothing to refill.
void SelectProfile(int) {}
