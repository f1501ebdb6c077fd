// The Profiles page (template 1019): making, changing and deleting profiles.
#pragma once
#include <windows.h>

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Shown when a typed profile name is longer than a database name allows.
constexpr wchar_t PROFILE_NAME_TOO_LONG[] = L"A profile name holds at most 25 characters.";
