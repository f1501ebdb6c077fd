// What the main window asks of activity editing.
#pragma once
#include <windows.h>

// New Activity: the activity dialog for a new activity of the current contact,
// then the lists and panes brought up to date.
void NewActivity(HWND mainWindow);
