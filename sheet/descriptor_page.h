// The Descriptor page: the five label lists, edited in a list box.
#pragma once
#include <windows.h>

#include "sheet/sheet_page.h"

extern const SheetPage DESCRIPTOR_PAGE;
