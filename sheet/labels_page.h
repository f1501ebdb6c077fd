// The Labels page: renaming and resetting the field labels.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage LABELS_PAGE;

// Shown when the new text of a label is empty or only blanks.
constexpr wchar_t EMPTY_LABEL_REFUSED[] = L"A label cannot be empty. Type its new text first.";
