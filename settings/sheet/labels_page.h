// The Labels page: renaming and resetting the field labels.
#pragma once
#include <windows.h>

INT_PTR CALLBACK LabelsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Shown when the new text of a label is empty or only blanks.
constexpr wchar_t EMPTY_LABEL_REFUSED[] = L"A label cannot be empty. Type its new text first.";
