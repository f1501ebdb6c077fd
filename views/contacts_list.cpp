#include "views/list_views.h"

#include "contacts/contact_editor.h"
#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "base/app_handles.h"
#include "base/message_box.h"
#include "base/wait_cursor.h"
#include "store/activity_queries.h"
#include "store/store_error.h"
#include "views/list_rows.h"
#include "views/painting_held.h"
#include "views/sorting.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <new>

// Where the pen last went down on the contacts list, for the context menu.
static POINT contactsTapPoint;

static bool IsLastActivityColumn(int column)
{
    return column >= settings.numcontactfield && column < settings.numcontactfield + settings.numlastactivityfield;
}

static void SetItemCount(HWND list, int count)
{
    if (list)
        SendMessageW(list, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
}

void FillContactsList()
{
    contactCount = 0;
    activityCount = 0;
    currentContactIndex = 0;
    ReloadContactRows();
    // The rows now hold other contacts: the old mark names none of them.
    if (HWND list = ContactsList())
        ForgetListMark(list);
    LoadActivitiesOfContact();
    if (contactCount > 0)
        ResortByLastActivity();
    SetItemCount(ContactsList(), contactCount);
    SetItemCount(ActivityList(), activityCount);
    if (HWND list = ContactsList())
        SetFocus(list);
}

// Orders the contacts by a field of their latest activities, taking each
// sort key from the record the rebuild of the latest activities reads anyway.
static void SortByLastActivities(int field, int direction)
{
    std::unique_ptr<SortKey[]> keys(new (std::nothrow) SortKey[contactCount]);
    if (!keys) {
        RebuildLastActivities();
        SortOIDList(lastActivityOIDList, contactOIDList, contactCount, field, direction);
        return;
    }
    wchar_t text[SORT_KEY_CAPACITY];
    ActivitySortKey(0, text, field, direction);
    for (int row = 0; row < contactCount; ++row)
        MakeSortKey(text, &keys[row]);
    getLastActivityOIDList(&lastActivityOIDList, contactOIDList, contactCount,
                           [&](int row, const ActivityRecord& record) {
                               ActivityRecordSortKey(record, text, field);
                               MakeSortKey(text, &keys[row]);
                           });
    SortOIDListByKeys(lastActivityOIDList, contactOIDList, keys.get(), contactCount, direction);
}

void ResortByLastActivity()
{
    // Called after every change of an activity: the last activities follow
    // even when they do not decide the order.
    if (!IsLastActivityColumn(settings.lv1sortcolumn)) {
        RebuildLastActivities();
        // The order stands, but the current contact's row shows its last
        // activity in its cells and colour, and that may have changed.
        if (HWND list = ContactsList()) {
            SendMessageW(list, LVM_REDRAWITEMS, currentContactIndex, currentContactIndex);
            UpdateWindow(list);
        }
        return;
    }
    const CEOID current = CurrentContactOid();
    if (contactCount >= 2)
        SortByLastActivities(settings.lastactivityfield[settings.lv1sortcolumn - settings.numcontactfield],
                             settings.lv1sortdirection);
    else
        RebuildLastActivities();
    if (HWND list = ContactsList()) {
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
    }
    currentContactIndex = 0;
    for (int row = 0; row < contactCount && current; ++row) {
        if (contactOIDList[row] == current) {
            currentContactIndex = row;
            break;
        }
    }
}

void ShowSavedActivity(CEOID contact, bool reloadActivities)
{
    MakeContactCurrent(contact);
    if (reloadActivities)
        LoadActivitiesOfContact(0);
    ResortByLastActivity();
    if (HWND list = ContactsList()) {
        SendMessageW(list, LVM_ENSUREVISIBLE, currentContactIndex, FALSE);
        SelectRowByTap(list, currentContactIndex);
    }
}

void SelectRowByTap(HWND list, int row)
{
    if (!list)
        return;
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    // A row that does not exist has no place to tap. (A point above the rows
    // would do on the device, but Wine's list view hit-tests it as row 0.)
    if (SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) {
        const LPARAM point = MAKELPARAM(10, bounds.top + 4);
        SendMessageW(list, WM_LBUTTONDOWN, row, point);
        SendMessageW(list, WM_LBUTTONUP, row, point);
    }
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
}

void ScrollRowToTop(HWND list, int row)
{
    const int n = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int p = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    if (n > p && row == n - p + 1) {
        SendMessageW(list, LVM_ENSUREVISIBLE, n - 1, FALSE);
        return;
    }
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    const int rowHeight = label.bottom - label.top;
    for (int step = 0; step < n; ++step) {
        const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        if (top == row || top == n - p)
            return;
        if (!SendMessageW(list, LVM_SCROLL, 0, rowHeight))
            return;
    }
}

void EnableNewActivity(bool enable)
{
    if (hMenuBar)
        SendMessageW(hMenuBar, TB_ENABLEBUTTON, IDM_NEW_ACTIVITY, MAKELONG(enable ? TRUE : FALSE, 0));
}

static void TapContact(HWND list, LPARAM point)
{
    contactsTapPoint = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const int row = HitListRow(list, point);
    if (row < 0 || row >= contactCount)
        return;
    MarkListRow(list, row);
    SetFocus(list);

    currentContactIndex = row;
    HWND activities = ActivityList();
    {
        PaintingHeld held({activities, NotesPane()});
        SetWaitCursor(true);
        LoadActivitiesOfContact();
        SetWaitCursor(false);
        SetItemCount(activities, activityCount);
        if (activityCount > 0)
            SelectRowByTap(activities, 0);
    }
    SetTimer(list, LIST_HOLD_TIMER, LIST_HOLD_DELAY_MS, nullptr);
}

static void SelectAndShow(HWND list, int row)
{
    SendMessageW(list, LVM_ENSUREVISIBLE, row, TRUE);
    SelectRowByTap(list, row);
}

void DeleteMarkedContact()
{
    HWND list = ContactsList();
    const int row = MarkedContactRow();
    if (row < 0)
        return;
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const CEOID contact = contactOIDList[row];
    wchar_t name[200] = L"";
    GetContactName(contact, name, 200);
    wchar_t question[260];
    std::swprintf(question, 260, L"Do you want to delete Contact '%ls'?", name);
    if (AppMessageBox(nullptr, question, L"Warning", APP_MB_OKCANCEL | APP_MB_WARNING) != 1) {
        ClearListSelection(list);
        return;
    }
    // The activities go only with their contact: a contact that stays keeps
    // its history.
    if (!DeleteContact(contact)) {
        wchar_t report[300];
        std::swprintf(report, 300, L"Contact '%ls' could not be deleted. The contact and its activities are kept.",
                      name);
        AppMessageBox(nullptr, report, L"Error", 0);
        ClearListSelection(list);
        return;
    }
    SetWaitCursor(true);
    StoreChanges changes;
    DeleteContactActivities(contact);
    if (changes.Failed())
        ReportStoreFailure(nullptr, L"The contact was deleted, but not all of its activities",
                           L"remove the orphan records on the Other settings page");
    FillContactsList();
    ResortByLastActivity();
    SetWaitCursor(false);
    ScrollRowToTop(list, top);
    ClearListSelection(list);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    SelectRowByTap(list, top);
    if (contactCount == 0)
        EnableNewActivity(false);
}

void EditMarkedContact()
{
    HWND list = ContactsList();
    const int row = MarkedContactRow();
    if (row < 0)
        return;
    const CEOID contact = contactOIDList[row];
    if (!(settings.piminterface && ShowContactInEditor(contact)))
        OpenContactEditor(contact);
    SetWaitCursor(true);
    FillContactsList();
    SetWaitCursor(false);
    const int found = RowOfContact(contact);
    pendingContactOid = contact;
    SelectAndShow(list, found < 0 ? 0 : found);
    SetFocus(list);
}

static void StepSelection(HWND list, int delta)
{
    if (contactCount <= 0)
        return;
    const int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    const int row = (mark < 0 ? 0 : mark) + delta;
    if (row < 0 || row >= contactCount)
        return;
    SendMessageW(list, LVM_ENSUREVISIBLE, row, TRUE);
    SelectRowByTap(list, row);
}

LRESULT CALLBACK ContactsListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = 0;
    if (HandleCommonListMessage(list, message, wParam, lParam, contactsTapPoint, &answer))
        return answer;
    switch (message) {
    case WM_LBUTTONDOWN:
        TapContact(list, lParam);
        return 0;
    case WM_LBUTTONUP:
        KillTimer(list, LIST_HOLD_TIMER);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_UP) {
            StepSelection(list, -1);
            return 0;
        }
        if (wParam == VK_DOWN) {
            StepSelection(list, 1);
            return 0;
        }
        if (wParam == VK_LEFT || wParam == VK_RIGHT)
            return 0;
        break;
    case WM_KEYUP:
        // Enter is the menu's Info..., routed the same way.
        if (wParam == VK_RETURN) {
            SendToMainWindow(WM_COMMAND, MAKEWPARAM(IDM_INFO, 0), reinterpret_cast<LPARAM>(list));
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(previousContactsListProc, list, message, wParam, lParam);
}

// Every change record reaching the main window, the service's and the contact
// source's alike, is allocated the service's way and freed here.
static void ReleaseNotification(CENOTIFICATION* change)
{
    if (!change)
        return;
    CENOTIFYREQUEST request = {};
    request.dwSize = 20;
    request.hwnd = hMainWindow;
    request.dwFlags = CEDB_EXNOTIFICATION;
    CeFreeNotification(&request, change);
}

void DropQueuedContactChanges(HWND mainWindow)
{
    MSG queued;
    while (PeekMessageW(&queued, mainWindow, WM_DBNOTIFICATION, WM_DBNOTIFICATION, PM_REMOVE))
        ReleaseNotification(reinterpret_cast<CENOTIFICATION*>(queued.lParam));
}

LRESULT OnContactsDatabaseChanged(HWND, WPARAM, LPARAM lParam)
{
    CENOTIFICATION* change = reinterpret_cast<CENOTIFICATION*>(lParam);
    // Contacts another program adds arrive as created records.
    if (!change || (change->uType != DB_CEOID_RECORD_DELETED && change->uType != DB_CEOID_CHANGED &&
                    change->uType != DB_CEOID_CREATED)) {
        ReleaseNotification(change);
        return 1;
    }
    HWND list = ContactsList();
    if (!list) {
        ReleaseNotification(change);
        return 1;
    }
    // A contact the contact source just created is the one to show.
    if (!pendingContactOid && newContactOid) {
        pendingContactOid = newContactOid;
        newContactOid = 0;
    }
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    SetWaitCursor(true);
    FillContactsList();
    ScrollRowToTop(list, top);
    SetWaitCursor(false);
    InvalidateRect(list, nullptr, TRUE);

    int row = top;
    if (pendingContactOid) {
        const int found = RowOfContact(pendingContactOid);
        if (found >= 0) {
            SendMessageW(list, LVM_ENSUREVISIBLE, found, FALSE);
            row = found;
        }
    }
    pendingContactOid = 0;
    SelectRowByTap(list, row);
    // A new first contact makes New Activity useful again.
    EnableNewActivity(contactCount > 0);
    ReleaseNotification(change);
    return 1;
}

void SortContactsByColumn(HWND list, int column)
{
    ClearSortArrow(list, settings.lv1sortcolumn);
    settings.lv1sortcolumn = column;
    if (contactCount == 0)
        return;
    const bool again = column == contactsColumnTappedLast;
    if (again && column < settings.numcontactfield) {
        settings.lv1sortdirection = 1 - settings.lv1sortdirection;
        ShowSortArrow(list, column, settings.lv1sortdirection);
        SetWaitCursor(true);
        SaveSetting(&Settings::lv1sortdirection);
        ReverseOIDList(contactOIDList, contactCount);
        ReverseOIDList(lastActivityOIDList, contactCount);
        SetWaitCursor(false);
    } else {
        if (again) {
            settings.lv1sortdirection = 1 - settings.lv1sortdirection;
            SaveSetting(&Settings::lv1sortdirection);
        }
        SaveSetting(&Settings::lv1sortcolumn);
        ShowSortArrow(list, column, settings.lv1sortdirection);
        SetWaitCursor(true);
        if (column < settings.numcontactfield) {
            ReloadContactRows();
            RebuildLastActivities();
        } else {
            ResortByLastActivity();
        }
        SetWaitCursor(false);
    }
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    SelectRowByTap(list, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    contactsColumnTappedLast = column;
}
