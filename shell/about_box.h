// The About box (dialog 101): the program's name and version and the
// database info, counted once as it opens.
#pragma once
#include <windows.h>

void ShowAboutBox(HWND mainWindow);
