#include "settings/sheet/settings_sheet.h"

// Comes with the settings pages; until then there is nothing to show.
void ShowSettingsSheet(HWND) {}
