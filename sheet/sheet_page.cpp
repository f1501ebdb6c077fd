#include "sheet/sheet_page.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "platform/shell/sipapi.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

constexpr COLORREF PANEL_INNER = 0x00FF00;
constexpr COLORREF PANEL_OUTER = 0x000000;

// Bold 12-pixel section titles, never ClearType: made with the sheet's first
// page and deleted with its last.
HFONT titleFont;
int titleFontUsers;

const SheetPage& Description(HWND page)
{
    static const SheetPage none = {};
    const auto* description = reinterpret_cast<const SheetPage*>(GetWindowLongPtrW(page, DWLP_USER));
    return description ? *description : none;
}

bool IsTitle(const SheetPage& description, int id)
{
    for (int title : description.titles) {
        if (!title)
            return false;
        if (title == id)
            return true;
    }
    return false;
}

// The page keeps its description, and its titles take the title font.
void OnInitDialog(HWND page, const PROPSHEETPAGEW* sheetPage)
{
    SetWindowLongPtrW(page, DWLP_USER, sheetPage ? sheetPage->lParam : 0);
    if (titleFontUsers++ == 0)
        titleFont = CreateAppFont(700, 12, 0);
    for (int title : Description(page).titles)
        if (title)
            SendDlgItemMessageW(page, title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont), FALSE);
}

LRESULT OnNcDestroy(HWND, UINT, WPARAM, LPARAM)
{
    if (titleFontUsers > 0 && --titleFontUsers == 0) {
        DeleteObject(titleFont);
        titleFont = nullptr;
    }
    return FALSE;
}

LRESULT OnPaint(HWND page, UINT, WPARAM, LPARAM)
{
    const SheetPage& description = Description(page);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    RECT client;
    GetClientRect(page, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (description.secondTop) {
        DrawRoundFrame(dc, 6, description.firstTop, 234, description.firstBottom, 4, PANEL_INNER, PANEL_OUTER);
        DrawRoundFrame(dc, 6, description.secondTop, 234, client.bottom - 6, 4, PANEL_INNER, PANEL_OUTER);
    } else {
        DrawRoundFrame(dc, 6, description.firstTop, 234, client.bottom - 6, 4, PANEL_INNER, PANEL_OUTER);
    }
    EndPaint(page, &paint);
    return TRUE;
}

// Titles in their font and colour, every other static and check box on the
// white panel.
LRESULT OnColorStatic(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    const SheetPage& description = Description(page);
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (IsTitle(description, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
        SetTextColor(dc, description.titleColor);
        if (titleFont)
            SelectObject(dc, titleFont);
    }
    return ColorPanelStatic(dc);
}

LRESULT Answer(HWND page, LONG_PTR result)
{
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT OnNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    const SheetPage& description = Description(page);
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        if (!description.lowerPanelOnEntry)
            return FALSE;
        SipShowIM(SIPF_OFF);
        break;
    case PSN_KILLACTIVE:
        SipShowIM(SIPF_OFF);
        break;
    case PSN_APPLY:
        if (description.apply)
            description.apply(page);
        break;
    default:
        return FALSE;
    }
    return Answer(page, 0);
}

LRESULT OnCommand(HWND page, UINT, WPARAM wParam, LPARAM)
{
    const SheetPage& description = Description(page);
    for (size_t i = 0; i < description.commandCount; ++i) {
        const PageCommand& command = description.commands[i];
        if (command.id == LOWORD(wParam) && command.code == HIWORD(wParam)) {
            command.handler(page);
            break;
        }
    }
    return TRUE;
}

const MessageRow SHARED_ROWS[] = {
    {WM_COMMAND, OnCommand},
    {WM_PAINT, OnPaint},
    {WM_CTLCOLORSTATIC, OnColorStatic},
    {WM_NOTIFY, OnNotify},
    {WM_NCDESTROY, OnNcDestroy},
};

} // namespace

INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        OnInitDialog(page, reinterpret_cast<const PROPSHEETPAGEW*>(lParam));
    const SheetPage& description = Description(page);
    INT_PTR result = FALSE;
    if (DispatchDialogRows(description.rows, description.rowCount, page, message, wParam, lParam, &result))
        return result;
    if (DispatchDialogRows(SHARED_ROWS, ARRAYSIZE(SHARED_ROWS), page, message, wParam, lParam, &result))
        return result;
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

INT_PTR ColorPanelStatic(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

void RaiseInputPanelForTyping(HWND)
{
    if (!hasKeyboard)
        SipShowIM(SIPF_ON);
}

bool IsChoiceChange(WORD notification)
{
    return notification == CBN_SELCHANGE || notification == CBN_CLOSEUP;
}

void StretchToPageBottom(HWND page, int listId, int pageHeight, int gap)
{
    HWND list = GetDlgItem(page, listId);
    if (!list)
        return;
    RECT box;
    GetWindowRect(list, &box);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&box), 2);
    const int listHeight = pageHeight - box.top - gap;
    SetWindowPos(list, nullptr, 0, 0, box.right - box.left, listHeight > 20 ? listHeight : 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(page, nullptr, TRUE);
}
