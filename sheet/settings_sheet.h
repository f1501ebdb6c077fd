// The settings property sheet.
#pragma once
#include <windows.h>

// Runs the sheet modally over the main window.
void ShowSettingsSheet(HWND mainWindow);

// A page of the open sheet by its template, none when it was not created yet.
HWND SettingsPage(HWND sheet, int templateId);
