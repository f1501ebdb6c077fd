// The main window: its procedure is a lookup in the message and command tables.
#pragma once
#include <windows.h>

#include "resources/resource.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
