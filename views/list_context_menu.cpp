#include "views/list_context_menu.h"

#include "resources/resource.h"
#include "base/app_handles.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "views/list_views.h"

#include <commctrl.h>

// The activity at the list's selection mark is done, when there is one.
static bool MarkedActivityIsDone()
{
    const CEOID oid = MarkedActivityOid();
    return oid && ReadActivityProcessedFlagDB(activityDatabase, oid) != 0;
}

HMENU BuildListContextMenu(HWND list, HMENU* popup)
{
    *popup = nullptr;
    HMENU menu = LoadMenuW(hInstance, MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (!menu)
        return nullptr;
    *popup = GetSubMenu(menu, 0);
    if (!*popup) {
        DestroyMenu(menu);
        return nullptr;
    }
    const int id = GetDlgCtrlID(list);
    if (id == ID_CONTACTS_LIST) {
        InsertMenuW(*popup, 2, MF_BYPOSITION | MF_STRING, IDM_INFO, L"Info...");
    } else if (id == ID_ACTIVITY_LIST) {
        const wchar_t* label = MarkedActivityIsDone() ? L"Mark Not Done" : L"Mark Done";
        InsertMenuW(*popup, 2, MF_BYPOSITION | MF_STRING, IDM_MARK_DONE, label);
    }
    return menu;
}

void ShowListContextMenu(HWND list, POINT tap)
{
    HMENU popup = nullptr;
    HMENU menu = BuildListContextMenu(list, &popup);
    if (!menu)
        return;
    ClientToScreen(list, &tap);
    TrackPopupMenuEx(popup, 0, tap.x, tap.y, list, nullptr);
    DestroyMenu(menu);
}
