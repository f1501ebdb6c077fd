// What the two lists' procedures share: selection, hit-testing and the
// messages both answer alike.
#pragma once
#include <windows.h>

// Tap-and-hold: timer 1 of a list, 800 ms after the pen went down on a row.
constexpr UINT_PTR LIST_HOLD_TIMER = 1;
constexpr UINT LIST_HOLD_DELAY_MS = 800;

void ClearListSelection(HWND list);
// Makes a row the list's one marked row and redraws the old and the new mark.
void MarkListRow(HWND list, int row);
// Leaves the list without a marked row, redrawing the row that had it.
void ForgetListMark(HWND list);
// The row under a point (list client coordinates), -1 for none.
int HitListRow(HWND list, LPARAM point);
// Double tap (Edit...), the tap-and-hold menu at tapPoint, painting across
// the whole width and the header's notifications. True when the message is
// answered with *result; false when it goes on to the list view.
bool HandleCommonListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, POINT tapPoint,
                             LRESULT* result);
