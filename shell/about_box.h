// The About box (dialog 101) with the database info.
#pragma once
#include <windows.h>

void ShowAboutBox(HWND mainWindow);
