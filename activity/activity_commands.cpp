#include "activity/activity_commands.h"

// Comes with the activity dialog; until then there is nothing to open.
void ShowActivityDialog(HWND, LONG) {}
