// What the main window asks of export.
#pragma once
#include <windows.h>

// The export dialog, modal over the main window.
void ShowExportDialog(HWND mainWindow);
