// The Color page: the colours of lists, notes and popup.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage COLOR_PAGE;
