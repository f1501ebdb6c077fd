#include "settings/sheet/sheet_page.h"

#include "base/drawing.h"
#include "platform/shell/sipapi.h"

#include <commctrl.h>

namespace {

constexpr COLORREF PANEL_INNER = 0x00FF00;
constexpr COLORREF PANEL_OUTER = 0x000000;

} // namespace

HFONT CreateSectionTitleFont()
{
    return CreateAppFont(700, 12, 0);
}

void PaintPagePanels(HWND page, int firstTop, int firstBottom, int secondTop)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    RECT client;
    GetClientRect(page, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (secondTop) {
        DrawRoundFrame(dc, 6, firstTop, 234, firstBottom, 4, PANEL_INNER, PANEL_OUTER);
        DrawRoundFrame(dc, 6, secondTop, 234, client.bottom - 6, 4, PANEL_INNER, PANEL_OUTER);
    } else {
        DrawRoundFrame(dc, 6, firstTop, 234, client.bottom - 6, 4, PANEL_INNER, PANEL_OUTER);
    }
    EndPaint(page, &paint);
}

INT_PTR ColorPageStatic(HDC dc, bool title, HFONT titleFont, COLORREF titleColor)
{
    SetBkMode(dc, TRANSPARENT);
    if (title) {
        SetTextColor(dc, titleColor);
        if (titleFont)
            SelectObject(dc, titleFont);
    }
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

bool IsChoiceChange(WORD notification)
{
    return notification == CBN_SELCHANGE || notification == CBN_CLOSEUP;
}

INT_PTR NotifyResult(HWND page, LONG_PTR result)
{
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR OnPageNotify(HWND page, LPARAM lParam, bool lowerPanelOnEntry, void (*apply)(HWND page))
{
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        if (!lowerPanelOnEntry)
            return FALSE;
        SipShowIM(SIPF_OFF);
        break;
    case PSN_KILLACTIVE:
        SipShowIM(SIPF_OFF);
        break;
    case PSN_APPLY:
        if (apply)
            apply(page);
        break;
    default:
        return FALSE;
    }
    return NotifyResult(page, 0);
}
