// The Profiles page (template 1019): making, changing and deleting profiles.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage PROFILES_PAGE;

// Shown when a typed profile name is longer than a database name allows.
constexpr wchar_t PROFILE_NAME_TOO_LONG[] = L"A profile name holds at most 25 characters.";
