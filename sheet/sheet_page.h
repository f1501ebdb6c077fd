// What the sheet's pages share: one dialog procedure paints their white
// panels, draws their section titles in the one title font, answers the
// sheet's notifications and hands every other message to the page's rows.
#pragma once
#include <windows.h>

#include "base/dispatch.h"

// A control's notification and what the page does on it.
struct PageCommand {
    int id;
    WORD code;
    void (*handler)(HWND page);
};

struct SheetPage {
    // The rounded green panels: one from firstTop to the page's bottom, or
    // two when secondTop is not 0 (the first ending at firstBottom).
    int firstTop;
    int firstBottom;
    int secondTop;
    // The statics drawn as bold section titles in titleColor; 0 ends the list.
    int titles[3];
    COLORREF titleColor;
    // The input panel goes down as the page is left and, with this, also as
    // it is shown.
    bool lowerPanelOnEntry;
    // Called on OK; may be none.
    void (*apply)(HWND page);
    // The page's own messages, asked before the shared ones.
    const MessageRow* rows;
    size_t rowCount;
    // The notifications of its controls, in a WM_COMMAND no row of the page
    // takes.
    const PageCommand* commands;
    size_t commandCount;
};

// The procedure of every page: the lParam of the page's PROPSHEETPAGEW
// points to its SheetPage.
INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// WM_CTLCOLORSTATIC of a static or check box on the white panel.
INT_PTR ColorPanelStatic(HDC dc);

// EN_SETFOCUS of an edit: the input panel comes up for typing, unless the
// device has a keyboard.
void RaiseInputPanelForTyping(HWND page);

// Whether a combo box notification may bring a new choice: keys and the
// wheel change it without a close-up, a pen with one. Pages compare the
// selection with what they show, so either may come first, or both.
bool IsChoiceChange(WORD notification);

// WM_SIZE of a page: the list box reaches down to gap pixels above the page's
// bottom (keeping 20 pixels at the least), and the page is painted again.
void StretchToPageBottom(HWND page, int listId, int pageHeight, int gap);
