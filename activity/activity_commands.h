// What the main window asks of activity editing.
#pragma once
#include <windows.h>

// The activity dialog, modal over the main window; oid -1 means a new
// activity for the current contact.
void ShowActivityDialog(HWND mainWindow, LONG oid);
