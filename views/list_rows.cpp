#include "views/list_rows.h"

#include "base/app_handles.h"
#include "resources/resource.h"
#include "views/list_context_menu.h"
#include "views/list_views.h"

#include <commctrl.h>

void ClearListSelection(HWND list)
{
    // Selection on all rows at once, which costs nothing when no row is
    // selected; focus only on the focused row, since asking every row of a
    // virtual list to drop its focus visits thousands of contacts one by one.
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    const int focused = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) {
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&item));
    }
}

void MarkListRow(HWND list, int row)
{
    const int previous = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    ClearListSelection(list);
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    if (previous >= 0)
        SendMessageW(list, LVM_REDRAWITEMS, previous, previous);
    SendMessageW(list, LVM_REDRAWITEMS, row, row);
}

void ForgetListMark(HWND list)
{
    const int previous = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    ClearListSelection(list);
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, -1);
    if (previous >= 0)
        SendMessageW(list, LVM_REDRAWITEMS, previous, previous);
}

int HitListRow(HWND list, LPARAM point)
{
    LVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(point));
    hit.pt.y = static_cast<short>(HIWORD(point));
    SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    return hit.iItem >= 0 && hit.iItem < rows ? hit.iItem : -1;
}

bool HandleCommonListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, POINT tapPoint,
                             LRESULT* result)
{
    *result = 0;
    switch (message) {
    case WM_LBUTTONDBLCLK: {
        const int row = HitListRow(list, lParam);
        if (row >= 0) {
            ClearListSelection(list);
            SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
            SendMessageW(list, WM_COMMAND, IDM_EDIT, 0);
        }
        return true;
    }
    case WM_TIMER:
        // Only the tap-and-hold timer; the list view's own timers pass on.
        if (wParam == LIST_HOLD_TIMER) {
            KillTimer(list, LIST_HOLD_TIMER);
            ShowListContextMenu(list, tapPoint);
        }
        return false;
    case WM_PAINT:
    case WM_ERASEBKGND:
        return PaintFullWidth(list, message, result);
    case WM_COMMAND:
        // The menu's and the double tap's commands go to the main window,
        // which routes them with the list as their control.
        switch (LOWORD(wParam)) {
        case IDM_EDIT:
        case IDM_DELETE:
        case IDM_INFO:
        case IDM_MARK_DONE:
            SendToMainWindow(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), reinterpret_cast<LPARAM>(list));
            return true;
        default:
            return false;
        }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        OnListHeaderNotify(list, header);
        return header && header->code == HDN_ENDDRAG;
    }
    default:
        return false;
    }
}
