// The two splitters between the panes (class "splitter").
#pragma once
#include <windows.h>

LRESULT CALLBACK SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
