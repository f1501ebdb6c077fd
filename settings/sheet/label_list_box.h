// A label list shown in a multi-selection list box (the Descriptor page): the
// box is filled from the list, and its Add and Delete act on both at once.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

void FillLabelList(HWND list, const wchar_t* database);
// Add: label is the edit box text, trimmed here; a label the box holds in
// any letter case is not added again.
void AddLabel(HWND list, const wchar_t* database, const wchar_t* label);
void DeleteSelectedLabels(HWND list, const wchar_t* database);
// Rewrites the database from the list box: all items, or with selectedOnly
// the selected ones (at most 200). Returns the result of the last write.
CEOID saveLBTextToDatabase(HWND list, const wchar_t* database, int selectedOnly);
