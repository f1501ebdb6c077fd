// Purge and orphan maintenance: deleting old activities of one contact or of
// the active profile, and removing or relinking activities whose contact has
// gone. It sits above the contacts and the store, which it joins.
#pragma once
#include <windows.h>

// The purge dialog, modal over the main window.
void ShowPurgeDialog(HWND mainWindow);
