// The purge dialog (template 1021): one contact or "[ALL]" of the active
// profile, every date or only before a chosen day.
#pragma once
#include <windows.h>

// Modal over the main window; stays open after a purge until OK or Cancel.
void ShowPurgeDialog(HWND mainWindow);
