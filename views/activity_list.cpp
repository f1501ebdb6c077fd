#include "views/list_views.h"

#include "activity/activity_commands.h"
#include "activity/reminders.h"
#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "shell/message_box.h"
#include "shell/wait_cursor.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "store/database.h"
#include "views/list_rows.h"
#include "views/notes_pane.h"
#include "views/sorting.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

CEOID* activityOIDList;
int activityCount;


static POINT activityTapPoint;

void LoadActivitiesOfContact()
{
    activityCount = 0;
    if (!contactOIDList || currentContactIndex < 0 || currentContactIndex >= contactCount) {
        std::free(activityOIDList);
        activityOIDList = nullptr;
        return;
    }
    getActivityOIDList(&activityOIDList, contactOIDList[currentContactIndex], &activityCount, 1);
    if (activityCount >= 2 && lv2sortcolumn >= 0 && lv2sortcolumn < numactivityfield)
        SortOIDList(activityOIDList, nullptr, activityCount, activityfield[lv2sortcolumn], lv2sortdirection);
}

static int MarkedRow(HWND list)
{
    const int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    return mark >= 0 && mark < activityCount && activityOIDList ? mark : -1;
}



static void TapActivity(HWND list, LPARAM point)
{
    activityTapPoint = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const int row = HitListRow(list, point);
    if (row < 0)
        return;
    HWND notes = NotesPane();
    if (notes)
        EnableWindow(notes, TRUE);
    MarkListRow(list, row);
    SetTimer(list, LIST_HOLD_TIMER, LIST_HOLD_DELAY_MS, nullptr);
    ActivityRecord record = {};
    ReadActivityRecordDB(activityDatabase, activityOIDList[row], &record);
    ShowNotes(record.notes);
    if (notes)
        UpdateWindow(notes);
}

static void DeleteMarkedActivity(HWND list)
{
    const int row = MarkedRow(list);
    if (row < 0)
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
    wchar_t contact[LABEL_CAPACITY];
    GetContactName(record.contactOid, contact, LABEL_CAPACITY);
    ClearActivityReminder(contact, record.nextAction, record.nextDate);
    DeleteRecordDB(activityDatabase, oid);
    UpdateLastActivityFlag(activityDatabase, record.contactOid);
    ResortByLastActivity();
    LoadActivitiesOfContact();
    SetWaitCursor(false);
    SendMessageW(list, LVM_SETITEMCOUNT, activityCount, LVSICF_NOINVALIDATEALL);
    ScrollRowToTop(list, top);
    InvalidateRect(list, nullptr, TRUE);
    ShowNotes(L"");
    if (activityCount > 0)
        SelectRowByTap(list, std::min(row, activityCount - 1));
    if (HWND contacts = ContactsList())
        SetFocus(contacts);
}

static void EditMarkedActivity(HWND list)
{
    const int row = MarkedRow(list);
    if (row < 0)
        return;
    ShowActivityDialog(hMainWindow, static_cast<LONG>(activityOIDList[row]));
    // Older shells do not lay the panes out again after the dialog's input panel.
    if (osGeneration < OS_GENERATION_2003)
        SendMessageW(hMainWindow, WM_SETTINGCHANGE, 0, 0);
    if (HWND contacts = ContactsList())
        SetFocus(contacts);
    ClearListSelection(list);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

// Repaints a list's marked row and some below it, so its new colours show.
static void RepaintMarkedRow(HWND list)
{
    if (!list)
        return;
    const int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (mark < 0 || !SendMessageW(list, LVM_GETITEMRECT, mark, reinterpret_cast<LPARAM>(&bounds)))
        return;
    bounds.bottom += 100;
    InvalidateRect(list, &bounds, TRUE);
    UpdateWindow(list);
}

static void ToggleDoneOfMarkedActivity(HWND list)
{
    const int row = MarkedRow(list);
    if (row < 0)
        return;
    ActivityRecord record = {};
    if (!ReadActivityRecordDB(activityDatabase, activityOIDList[row], &record))
        return;
    // Only 1 counts as done: any other stored value was offered "Mark Done"
    // and must end done.
    record.done = record.done == 1 ? 0 : 1;
    WriteActivityRecordDB(activityDatabase, activityOIDList[row], record);
    RepaintMarkedRow(ContactsList());
    RepaintMarkedRow(list);
}

LRESULT CALLBACK ActivityListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = 0;
    if (HandleCommonListMessage(list, message, wParam, lParam, activityTapPoint, &answer))
        return answer;
    switch (message) {
    case WM_LBUTTONDOWN:
        TapActivity(list, lParam);
        return HitListRow(list, lParam) < 0 ? 1 : 0;
    case WM_LBUTTONUP:
        KillTimer(list, LIST_HOLD_TIMER);
        if (HWND notes = NotesPane()) {
            SendMessageW(notes, EM_SETSEL, static_cast<WPARAM>(-1), -1);
            UpdateWindow(notes);
        }
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_DELETE: DeleteMarkedActivity(list); break;
        case IDM_EDIT: EditMarkedActivity(list); break;
        case IDM_MARK_DONE: ToggleDoneOfMarkedActivity(list); break;
        default: break;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(previousActivityListProc, list, message, wParam, lParam);
}

void SortActivitiesByColumn(HWND list, int column)
{
    ClearSortArrow(list, lv2sortcolumn);
    lv2sortcolumn = column;
    if (column != activityColumnTappedLast) {
        RegWriteDword(L"lv2sortcolumn", static_cast<DWORD>(lv2sortcolumn));
        ShowSortArrow(list, column, lv2sortdirection);
        SetWaitCursor(true);
        if (activityCount >= 2 && column < numactivityfield)
            SortOIDList(activityOIDList, nullptr, activityCount, activityfield[column], lv2sortdirection);
        SetWaitCursor(false);
    } else {
        // The same column again: the order only turns round.
        lv2sortdirection = 1 - lv2sortdirection;
        ShowSortArrow(list, column, lv2sortdirection);
        SetWaitCursor(true);
        RegWriteDword(L"lv2sortdirection", static_cast<DWORD>(lv2sortdirection));
        ReverseOIDList(activityOIDList, activityCount);
        SetWaitCursor(false);
    }
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    SelectRowByTap(list, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    activityColumnTappedLast = column;
}
