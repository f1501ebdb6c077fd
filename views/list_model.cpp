#include "views/list_model.h"

#include "base/app_handles.h"
#include "contacts/contact_source.h"
#include "settings/settings.h"
#include "store/activity_queries.h"
#include "views/list_rows.h"
#include "views/notes_pane.h"
#include "views/sorting.h"

#include <commctrl.h>

#include <cstdlib>

CEOID* contactOIDList;
CEOID* lastActivityOIDList;
int contactCount;
int currentContactIndex;
CEOID pendingContactOid;
CEOID* activityOIDList;
int activityCount;

HWND ContactsList() { return MainWindowChild(ID_CONTACTS_LIST); }
HWND ActivityList() { return MainWindowChild(ID_ACTIVITY_LIST); }
HWND NotesPane() { return MainWindowChild(ID_NOTES_PANE); }

void RebuildLastActivities()
{
    getLastActivityOIDList(&lastActivityOIDList, contactOIDList, contactCount);
}

void ReloadContactRows()
{
    ListContactOids(&contactOIDList, &contactCount, 1, SORT_BY_LIST_COLUMN, 1);
}

// The notes pane writes into the marked activity. After a refill the old
// mark may name another contact's activity, so no activity is marked and the
// pane stays empty and closed to typing until a row is tapped.
static void ForgetMarkedActivity()
{
    if (HWND list = ActivityList())
        ForgetListMark(list);
    ShowNotes(L"");
    if (HWND notes = NotesPane())
        EnableWindow(notes, FALSE);
}

void LoadActivitiesOfContact(int applyFind)
{
    ForgetMarkedActivity();
    activityCount = 0;
    const CEOID contact = CurrentContactOid();
    if (contact == 0) {
        std::free(activityOIDList);
        activityOIDList = nullptr;
    } else {
        getActivityOIDList(&activityOIDList, contact, &activityCount, applyFind);
        if (activityCount >= 2 && settings.lv2sortcolumn >= 0 && settings.lv2sortcolumn < settings.numactivityfield)
            SortOIDList(activityOIDList, nullptr, activityCount, settings.activityfield[settings.lv2sortcolumn],
                        settings.lv2sortdirection);
    }
    if (HWND list = ActivityList())
        SendMessageW(list, LVM_SETITEMCOUNT, activityCount, LVSICF_NOINVALIDATEALL);
}

CEOID CurrentContactOid()
{
    return contactOIDList && currentContactIndex >= 0 && currentContactIndex < contactCount
               ? contactOIDList[currentContactIndex]
               : 0;
}

int RowOfContact(CEOID contact)
{
    for (int row = 0; row < contactCount && contactOIDList; ++row)
        if (contactOIDList[row] == contact)
            return row;
    return -1;
}

bool MakeContactCurrent(CEOID contact)
{
    const int row = RowOfContact(contact);
    if (row < 0)
        return false;
    currentContactIndex = row;
    if (HWND list = ContactsList())
        SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    return true;
}

static int MarkedRow(HWND list, const CEOID* rows, int count)
{
    const int mark = list ? static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0)) : -1;
    return rows && mark >= 0 && mark < count ? mark : -1;
}

int MarkedContactRow() { return MarkedRow(ContactsList(), contactOIDList, contactCount); }
int MarkedActivityRow() { return MarkedRow(ActivityList(), activityOIDList, activityCount); }

CEOID MarkedContactOid()
{
    const int row = MarkedContactRow();
    return row < 0 ? 0 : contactOIDList[row];
}

CEOID MarkedActivityOid()
{
    const int row = MarkedActivityRow();
    return row < 0 ? 0 : activityOIDList[row];
}

void FreeListArrays()
{
    std::free(contactOIDList);
    contactOIDList = nullptr;
    std::free(lastActivityOIDList);
    lastActivityOIDList = nullptr;
    std::free(activityOIDList);
    activityOIDList = nullptr;
    contactCount = 0;
    activityCount = 0;
}
