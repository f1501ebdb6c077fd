// What the sheet's pages share: their white panels, bold section titles and
// the notification result.
#pragma once
#include <windows.h>

// Bold 12-pixel section titles, never ClearType. The page deletes it.
HFONT CreateSectionTitleFont();

// White background and the rounded green panels: one from firstTop to the
// page's bottom, or two when secondTop is not 0 (the first ending at
// firstBottom).
void PaintPagePanels(HWND page, int firstTop, int firstBottom, int secondTop);

// WM_CTLCOLORSTATIC of a page: titles in their font and colour, every other
// static and check box on the white panel.
INT_PTR ColorPageStatic(HDC dc, bool title, HFONT titleFont, COLORREF titleColor);

// Whether a combo box notification may bring a new choice: keys and the
// wheel change it without a close-up, a pen with one. Pages compare the
// selection with what they show, so either may come first, or both.
bool IsChoiceChange(WORD notification);

// A dialog procedure's answer to a notification.
INT_PTR NotifyResult(HWND page, LONG_PTR result);

// WM_NOTIFY of a page: the input panel goes down as the page is left (and,
// with lowerPanelOnEntry, as it is shown), and OK calls apply.
INT_PTR OnPageNotify(HWND page, LPARAM lParam, bool lowerPanelOnEntry, void (*apply)(HWND page));
