#include "store/store_commands.h"

int profileCount = 0;

// The store's databases come later; until then there are no profiles, no
// activities and no dialogs over them.
void SelectProfile(int) {}
void ShowPurgeDialog(HWND) {}
void ShowAboutBox(HWND) {}
