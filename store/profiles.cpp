#include "store/profiles.h"

// No profile databases are read yet: the menu offers "All" alone.
int profileCount = 0;
