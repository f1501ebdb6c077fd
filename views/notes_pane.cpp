#include "views/notes_pane.h"

#include "platform/shell/sipapi.h"
#include "base/app_handles.h"
#include "views/pane_layout.h"
#include "settings/settings.h"
#include "base/window_text.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/store_error.h"
#include "views/list_views.h"

#include <commctrl.h>

WNDPROC previousNotesPaneProc;

void ShowNotes(const wchar_t* notes)
{
    if (HWND pane = NotesPane())
        SetWindowTextW(pane, notes ? notes : L"");
}

void SaveNotesOfMarkedActivity()
{
    HWND pane = NotesPane();
    const CEOID oid = MarkedActivityOid();
    if (!pane || !oid)
        return;
    ActivityRecord record = {};
    if (!ReadActivityRecordDB(activityDatabase, oid, &record))
        return;
    // The record keeps 399 characters; the pane may hold one more.
    ReadWindowText(pane, record.notes);
    // Failing, the text stays in the pane: the next key saves all of it
    // again. One message per run of failures, not one per key.
    static bool failing;
    const bool saved = WriteActivityRecordDB(activityDatabase, oid, record) != 0;
    if (!saved && !failing)
        ReportStoreFailure(GetParent(pane), L"The notes could not be saved", L"type in the notes again");
    failing = !saved;
}

static void RepaintPane(HWND pane)
{
    InvalidateRect(pane, nullptr, TRUE);
    UpdateWindow(pane);
}

LRESULT CALLBACK NotesPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (!hasKeyboard) {
            SipShowIM(SIPF_ON);
            MoveSplitter(hUpperSplitter, settings.sb1top);
        }
        break;
    case WM_KILLFOCUS:
        SipShowIM(SIPF_OFF);
        break;
    case WM_PAINT: {
        // The edit paints only its text; erasing the whole update area keeps
        // the background in the notes colour.
        RECT update;
        if (GetUpdateRect(pane, &update, FALSE))
            InvalidateRect(pane, &update, TRUE);
        break;
    }
    case WM_KEYUP:
        SaveNotesOfMarkedActivity();
        RepaintPane(pane);
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_UPDATE)
            RepaintPane(pane);
        break;
    default:
        break;
    }
    return CallWindowProcW(previousNotesPaneProc, pane, message, wParam, lParam);
}
