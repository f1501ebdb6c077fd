// The Other page: fonts, display flags, the backup choice, the contact editor and the orphan tools.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage OTHER_PAGE;

// The font size lists offer 10 to 14 and 16. Item to size, and size to item
// (-1 for a size the list does not offer; a stored 15, the size the sixth
// item once stood for, selects it).
int FontSizeOfItem(int item);
int FontSizeItem(int size);
