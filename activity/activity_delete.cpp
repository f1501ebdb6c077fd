#include "activity/activity_delete.h"

#include "activity/reminders.h"
#include "base/message_box.h"
#include "base/wait_cursor.h"
#include "contacts/contact_fields.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"
#include "store/store_error.h"
#include "views/list_rows.h"
#include "views/list_views.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

void DeleteMarkedActivity()
{
    HWND list = ActivityList();
    const int row = MarkedActivityRow();
    if (!list || row < 0)
        return;
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const CEOID oid = activityOIDList[row];
    ActivityRecord record = {};
    ReadActivityRecordDB(activityDatabase, oid, &record);
    wchar_t date[COLUMN_TEXT_CAPACITY] = L"";
    GetActivityColumnText(record, ACTIVITY_COLUMN_DATE, date, COLUMN_TEXT_CAPACITY, 0);
    wchar_t question[160];
    std::swprintf(question, 160, L"Do you want to delete Activity '%ls - %ls'?", date, record.event);
    if (AppMessageBox(nullptr, question, L"Warning", APP_MB_OKCANCEL | APP_MB_WARNING) != 1) {
        ClearListSelection(list);
        return;
    }
    SetWaitCursor(true);
    // Cleared whether or not it has one: a reminder is found only by the
    // title and text rebuilt from the contact's name (as the dialog's contact
    // list shows it, 39 characters), Next Action and Next Date.
    // An activity that stays keeps its reminder.
    wchar_t contact[LABEL_CAPACITY];
    GetContactName(record.contactOid, contact, LABEL_CAPACITY);
    StoreChanges changes;
    if (DeleteRecordDB(activityDatabase, oid)) {
        ClearActivityReminder(contact, record.nextAction, record.nextDate);
        UpdateLastActivityFlag(activityDatabase, record.contactOid);
    }
    if (changes.Failed())
        ReportStoreFailure(nullptr, L"The activity could not be deleted", L"delete it again");
    ResortByLastActivity();
    LoadActivitiesOfContact();
    SetWaitCursor(false);
    ScrollRowToTop(list, top);
    InvalidateRect(list, nullptr, TRUE);
    if (activityCount > 0)
        SelectRowByTap(list, std::min(row, activityCount - 1));
    if (HWND contacts = ContactsList())
        SetFocus(contacts);
}
