#include "views/list_views.h"

#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "base/app_handles.h"
#include "base/message_box.h"
#include "base/wait_cursor.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "store/store_error.h"
#include "store/database.h"
#include "views/list_rows.h"
#include "views/notes_pane.h"
#include "views/sorting.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

static POINT activityTapPoint;

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

void ToggleDoneOfMarkedActivity()
{
    HWND list = ActivityList();
    const int row = MarkedActivityRow();
    if (row < 0)
        return;
    ActivityRecord record = {};
    if (!ReadActivityRecordDB(activityDatabase, activityOIDList[row], &record))
        return;
    // Only 1 counts as done: any other stored value was offered "Mark Done"
    // and must end done.
    record.done = record.done == 1 ? 0 : 1;
    if (!WriteActivityRecordDB(activityDatabase, activityOIDList[row], record))
        ReportStoreFailure(nullptr, record.done ? L"The activity could not be marked done"
                                                : L"The activity could not be marked not done",
                           L"mark it again");
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
    default:
        break;
    }
    return CallWindowProcW(previousActivityListProc, list, message, wParam, lParam);
}

void SortActivitiesByColumn(HWND list, int column)
{
    ClearSortArrow(list, settings.lv2sortcolumn);
    settings.lv2sortcolumn = column;
    if (column != activityColumnTappedLast) {
        SaveSetting(&Settings::lv2sortcolumn);
        ShowSortArrow(list, column, settings.lv2sortdirection);
        SetWaitCursor(true);
        if (activityCount >= 2 && column < settings.numactivityfield)
            SortOIDList(activityOIDList, nullptr, activityCount, settings.activityfield[column],
                        settings.lv2sortdirection);
        SetWaitCursor(false);
    } else {
        // The same column again: the order only turns round.
        settings.lv2sortdirection = 1 - settings.lv2sortdirection;
        ShowSortArrow(list, column, settings.lv2sortdirection);
        SetWaitCursor(true);
        SaveSetting(&Settings::lv2sortdirection);
        ReverseOIDList(activityOIDList, activityCount);
        SetWaitCursor(false);
    }
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    SelectRowByTap(list, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    activityColumnTappedLast = column;
}
