// The two splitters between the panes (class "splitter").
#pragma once
#include <windows.h>

constexpr wchar_t SPLITTER_CLASS[] = L"splitter";

LRESULT CALLBACK SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
