// The Descriptor page: the five label lists, edited in a list box.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DescriptorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
