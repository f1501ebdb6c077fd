// The main window's menu bar.
#pragma once
#include <windows.h>

// Creates the menu bar from resource 103 and gives its buttons their tool
// tips; stores it in hMenuBar. A failure leaves hMenuBar empty, unreported.
void CreateAppMenuBar(HWND mainWindow);
// Destroys the menu bar, if there is one, and forgets it.
void DestroyAppMenuBar();
