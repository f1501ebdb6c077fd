// The Display page: which fields are the columns of both lists.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage DISPLAY_PAGE;

// Fills the page's three lists with the current labels and selects the
// current columns; choices made on the page and not yet applied are lost.
void RefillDisplayLists(HWND page);
// The same with the page's own pending choices kept: after a label is
// renamed, columns chosen on the page but not yet applied stay chosen.
void RelabelDisplayLists(HWND page);
