#include "shell/list_commands.h"

#include "activity/activity_delete.h"
#include "activity/activity_dialog.h"
#include "base/app_handles.h"
#include "resources/resource.h"
#include "views/contact_popup.h"
#include "views/list_rows.h"
#include "views/list_views.h"

#include <commctrl.h>

void RunActivityDialog(HWND mainWindow, LONG oid)
{
    const bool editing = oid != -1;
    ShowActivityDialog(mainWindow, oid);
    // The dialog may have moved the input panel; older shells do not lay
    // the panes out again by themselves.
    if (osGeneration < OS_GENERATION_2003)
        SendMessageW(mainWindow, WM_SETTINGCHANGE, 0, 0);
    HWND contacts = ContactsList();
    if (contacts)
        SetFocus(contacts);
    if (editing) {
        if (HWND activities = ActivityList()) {
            ClearListSelection(activities);
            InvalidateRect(activities, nullptr, TRUE);
            UpdateWindow(activities);
        }
    } else if (contacts) {
        if (currentContactIndex >= 0)
            SendMessageW(contacts, LVM_ENSUREVISIBLE, currentContactIndex, FALSE);
        InvalidateRect(contacts, nullptr, TRUE);
        UpdateWindow(contacts);
    }
}

static bool RouteContactsCommand(WORD id)
{
    switch (id) {
    case IDM_EDIT: EditMarkedContact(); return true;
    case IDM_DELETE: DeleteMarkedContact(); return true;
    case IDM_INFO: ShowContactPopup(); return true;
    default: return false;
    }
}

static bool RouteActivityCommand(HWND mainWindow, WORD id)
{
    switch (id) {
    case IDM_EDIT: {
        const CEOID oid = MarkedActivityOid();
        if (oid)
            RunActivityDialog(mainWindow, static_cast<LONG>(oid));
        return true;
    }
    case IDM_DELETE: DeleteMarkedActivity(); return true;
    case IDM_MARK_DONE: ToggleDoneOfMarkedActivity(); return true;
    default: return false;
    }
}

bool RouteListCommand(HWND mainWindow, WORD id, HWND list)
{
    if (!list)
        return false;
    if (list == ContactsList())
        return RouteContactsCommand(id);
    if (list == ActivityList())
        return RouteActivityCommand(mainWindow, id);
    return false;
}
