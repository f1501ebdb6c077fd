// The panes between the header band and the bottom: splitters, Roll Up and
// Roll Down, and the input panel's squeeze.
#pragma once
#include <windows.h>

void RollUp(HWND mainWindow);
void RollDown(HWND mainWindow);
// WM_SETTINGCHANGE of the main window.
LRESULT OnLayoutSettingChange(HWND mainWindow, WPARAM wParam, LPARAM lParam);
