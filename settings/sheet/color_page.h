// The Color page: the colours of lists, notes and popup.
#pragma once
#include <windows.h>

INT_PTR CALLBACK ColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
