// The settings property sheet.
#pragma once
#include <windows.h>

// Runs the sheet modally over the main window.
void ShowSettingsSheet(HWND mainWindow);
