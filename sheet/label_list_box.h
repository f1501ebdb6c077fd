// A label list shown in a multi-selection list box (the Descriptor page): the
// box is filled from the list, and its Add and Delete act on both at once.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

void FillLabelList(HWND list, const wchar_t* database);
// Add: label is the edit box text, trimmed here; a label the box holds in
// any letter case is not added again. A change the store could not keep is
// reported and the box shows the list as it is kept; false then.
bool AddLabel(HWND list, const wchar_t* database, const wchar_t* label);
void DeleteSelectedLabels(HWND list, const wchar_t* database);
// Rewrites the database from the list box: all items, or with selectedOnly
// the selected ones (at most 200). False when the database stayed as it was.
bool saveLBTextToDatabase(HWND list, const wchar_t* database, int selectedOnly);
