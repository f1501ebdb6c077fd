#include "activity/reminders.h"
#include "contacts/contact_source.h"
#include "tests/notify/notify_testing.h"
#include "tests/harness/activity_readers.h"
#include "tests/views/views_fixture.h"

#include "platform/poom/contact_records.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/database.h"
#include "views/list_context_menu.h"
#include "views/list_views.h"

#include <commctrl.h>

namespace {

int HeaderImage(HWND list, int column)
{
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    SendMessageW(ListView_GetHeader(list), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

std::wstring MarkItem(HWND list)
{
    HMENU popup = nullptr;
    HMENU menu = BuildListContextMenu(list, &popup);
    wchar_t text[40] = L"";
    GetMenuStringW(popup, 2, text, 40, MF_BYPOSITION);
    DestroyMenu(menu);
    return text;
}

}  // namespace

using StartupViews = ViewsTest;

// Stored widths, orders and sort columns come back; a list without its
// widths fits its columns and writes them once. Without contacts everything
// is empty. Resized and dragged columns are stored at once.
TEST_F(StartupViews, StoredWidthsOrdersAndSortColumnsComeBackAndChangesAreStoredAtOnce)
{
    for (int i = 0; i < 4; ++i) {
        Setting((L"lv2colwidth" + std::to_wstring(i)).c_str(), 50 + i);
        Setting((L"lv2columnorder" + std::to_wstring(i)).c_str(), 3 - i);
    }
    Setting(L"lv2sortcolumn", 1);
    Setting(L"lv2sortdirection", 0);
    Setting(L"lv1sortcolumn", 9);   // no such column: falls back to the first
    ASSERT_NE(nullptr, Start());
    EXPECT_FALSE(SendMessageW(hMenuBar, TB_ISBUTTONENABLED, IDM_NEW_ACTIVITY, 0));
    EXPECT_EQ(52, SendMessageW(Activities(), LVM_GETCOLUMNWIDTH, 2, 0));
    std::vector<int> order(4);
    SendMessageW(Activities(), LVM_GETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order.data()));
    EXPECT_EQ((std::vector<int>{3, 2, 1, 0}), order);
    EXPECT_EQ(0, HeaderImage(Activities(), 1)) << "the sort column shows its direction's arrow";
    EXPECT_EQ(-1, HeaderImage(Activities(), 0));
    EXPECT_EQ(1, HeaderImage(Contacts(), 0));
    EXPECT_EQ(SendMessageW(Contacts(), LVM_GETCOLUMNWIDTH, 3, 0), StoredValue(L"lv1colwidth3"));
    EXPECT_EQ(-12345, StoredValue(L"lv1colwidth4")) << "only the list's columns are written";

    // No contact is marked: Info and Enter open no popup.
    int popups = 0;
    scenario->AnswerDialogs([&](HWND) { ++popups; });
    SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);
    scenario->Key(Contacts(), VK_RETURN);
    scenario->PumpPending();
    EXPECT_EQ(0, popups);

    // The pen drags the right edge of the first column shown (column 3).
    HWND header = ListView_GetHeader(Activities());
    const RECT first = HeaderItem(Activities(), 3);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right - 1, 5));
    for (int x = first.right - 1; x <= first.right + 29; x += 5)
        SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 29, 5));
    scenario->PumpPending();
    const int width = static_cast<int>(SendMessageW(Activities(), LVM_GETCOLUMNWIDTH, 3, 0));
    EXPECT_GT(width, first.right - first.left);
    EXPECT_EQ(width, StoredValue(L"lv2colwidth3")) << "the new width, not the one before the drag";

    // A header drag, as the header reports it: the drag ends, the header
    // takes the new order, and its next notification follows. (A real drag
    // needs a drag image, which Wine cannot make on the virtual display.)
    NMHEADERW ended = {};
    ended.hdr.hwndFrom = header;
    ended.hdr.idFrom = GetDlgCtrlID(header);
    ended.hdr.code = HDN_ENDDRAG;
    EXPECT_EQ(0, SendMessageW(Activities(), WM_NOTIFY, ended.hdr.idFrom, reinterpret_cast<LPARAM>(&ended)));
    order = {0, 2, 3, 1};
    SendMessageW(Activities(), LVM_SETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order.data()));
    InvalidateRect(header, nullptr, TRUE);
    UpdateWindow(header);
    scenario->PumpPending();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(order[i], StoredValue((L"lv2columnorder" + std::to_wstring(i)).c_str())) << i;
}

using ListViews = ViewsTest;

TEST_F(ListViews, TapsFillTheActivitiesAndTheNotes)
{
    const CEOID anna = AddContact(L"Anna Berg", L"Fjord AS");
    AddContact(L"Bo Lind");
    ASSERT_NE(nullptr, Start());
    const CEOID call = AddActivity(anna, L"Call", 45000, 45010, 0, L"first call");
    const CEOID meeting = AddActivity(anna, L"Meeting", 45005, 45020, 0, L"met at the fair");
    ContactsChanged();

    EXPECT_TRUE(SendMessageW(hMenuBar, TB_ISBUTTONENABLED, IDM_NEW_ACTIVITY, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"Anna Berg", L"Bo Lind"}), ListItems(Contacts(), 0));
    EXPECT_EQ(L"Fjord AS", Cell(Contacts(), 0, 1));
    EXPECT_EQ(L"", Cell(Contacts(), 1, 2)) << "no last activity, no text";
    EXPECT_EQ(0, Mark(Contacts()));
    ASSERT_EQ((std::vector<std::wstring>{L"Meeting", L"Call"}), ListItems(Activities(), 1)) << "newest first";
    EXPECT_EQ(L"met at the fair", NotesText());
    EXPECT_TRUE(IsWindowEnabled(Notes()));

    TapRow(Activities(), 1);
    EXPECT_EQ(L"first call", NotesText());

    // Notes are saved as a key comes up, cut to what the pane lets one type.
    SetWindowTextW(Notes(), L"typed here");
    scenario->Key(Notes(), 'E');
    TapRow(Activities(), 0);
    EXPECT_EQ(std::wstring(L"typed here"), ReadActivity(call).notes);
    EXPECT_EQ(std::wstring(L"met at the fair"), ReadActivity(meeting).notes);
    SendMessageW(Notes(), EM_LIMITTEXT, 0, 0);   // as if the pane held more than it lets one type
    SetWindowTextW(Notes(), std::wstring(450, L'n').c_str());
    scenario->Key(Notes(), 'N');
    EXPECT_EQ(399u, std::wstring(ReadActivity(meeting).notes).size());
    // A pair across the cut goes whole: no half character is kept.
    SetWindowTextW(Notes(), (std::wstring(398, L'n') + L"\xD83D\xDE00").c_str());
    scenario->Key(Notes(), 'N');
    EXPECT_EQ(std::wstring(398, L'n'), ReadActivity(meeting).notes);

    TapRow(Contacts(), 1);
    EXPECT_EQ(0, Rows(Activities()));
    EXPECT_EQ(L"", NotesText());
    EXPECT_FALSE(IsWindowEnabled(Notes())) << "a contact without activities leaves nothing to type into";
}

TEST_F(ListViews, HeaderTapsSortPersistAndReverse)
{
    const CEOID anna = AddContact(L"anna");
    AddContact(L"Bertil");
    const CEOID carl = AddContact(L"carl");
    ASSERT_NE(nullptr, Start());
    AddActivity(anna, L"banana", 45001, 45001);
    AddActivity(anna, L"Apple", 45003, 45003);
    AddActivity(anna, L"cherry", 45002, 45002);
    AddActivity(anna, L"damson", 45000, 45000);   // an even count: a turn swaps a middle pair
    AddActivity(carl, L"x", 46000, 46000);
    ContactsChanged();
    EXPECT_EQ((std::vector<std::wstring>{L"Apple", L"cherry", L"banana", L"damson"}), ListItems(Activities(), 1));

    TapHeader(Activities(), 1);
    EXPECT_EQ((std::vector<std::wstring>{L"Apple", L"banana", L"cherry", L"damson"}), ListItems(Activities(), 1));
    EXPECT_EQ(1, StoredValue(L"lv2sortcolumn"));
    EXPECT_EQ(1, HeaderImage(Activities(), 1));
    EXPECT_EQ(-1, HeaderImage(Activities(), 0));
    TapHeader(Activities(), 1);
    EXPECT_EQ((std::vector<std::wstring>{L"damson", L"cherry", L"banana", L"Apple"}), ListItems(Activities(), 1));
    EXPECT_EQ(0, StoredValue(L"lv2sortdirection"));
    EXPECT_EQ(0, HeaderImage(Activities(), 1));
    TapHeader(Activities(), 0);
    EXPECT_EQ((std::vector<std::wstring>{L"damson", L"banana", L"cherry", L"Apple"}), ListItems(Activities(), 1))
        << "a new column keeps the direction: oldest first";

    // Contacts by the last activity's date, newest first in the natural
    // direction; without one, last in both directions.
    TapHeader(Contacts(), 2);
    EXPECT_EQ((std::vector<std::wstring>{L"carl", L"anna", L"Bertil"}), ListItems(Contacts(), 0));
    TapHeader(Contacts(), 2);
    EXPECT_EQ((std::vector<std::wstring>{L"anna", L"carl", L"Bertil"}), ListItems(Contacts(), 0));
    EXPECT_EQ(2, StoredValue(L"lv1sortcolumn"));
    EXPECT_EQ(0, StoredValue(L"lv1sortdirection"));
    EXPECT_EQ(0, Mark(Contacts()));
    EXPECT_EQ(0, currentContactIndex);
}

TEST_F(ListViews, DeletingActivitiesRepaintsTheContactsRowAndSelectsTheNewLastRow)
{
    const CEOID contact = AddContact(L"Delete Test");
    ASSERT_NE(nullptr, Start());
    AddActivity(contact, L"latest", 45004, 45020);
    AddActivity(contact, L"one", 45003);
    AddActivity(contact, L"two", 45002, 45010);
    ContactsChanged();
    const std::wstring shownBefore = Cell(Contacts(), 0, 2);
    TapRow(Activities(), 0);
    // The focus is away from the contacts list (as while typing notes), so
    // closing the question repaints nothing there.
    SetFocus(Activities());
    SendMessageW(Activities(), WM_COMMAND, IDM_DELETE, 0);
    scenario->PumpPending();
    ASSERT_NE(shownBefore, Cell(Contacts(), 0, 2)) << "an older activity is the latest now";
    // The row on the screen must be what a full repaint shows. (Its bottom
    // grid line differs between a row's and the whole list's painting.)
    const RECT stale = StaleArea(Contacts());
    RECT row = {};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(Contacts(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    MapWindowPoints(Contacts(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    RECT window;
    GetWindowRect(Contacts(), &window);
    OffsetRect(&row, -window.left, -window.top);
    row.bottom -= 1;
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &stale, &row))
        << "stale pixels at (" << stale.left << "," << stale.top << ")-(" << stale.right << "," << stale.bottom
        << ")";

    // The reminder the activity dialog would have armed for "two".
    wchar_t title[REMINDER_TITLE_CAPACITY], text[REMINDER_TEXT_CAPACITY];
    FormatReminder(L"Delete Test", L"", 45010, title, REMINDER_TITLE_CAPACITY, text, REMINDER_TEXT_CAPACITY);
    const size_t before = StoredNotifications().size();
    ASSERT_EQ(1, ScheduleReminder(text, title, 45011, PUN_LED | PUN_DIALOG));
    scenario->AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, IDCANCEL); });
    TapRow(Activities(), 1);
    SendMessageW(Activities(), WM_COMMAND, IDM_DELETE, 0);
    EXPECT_EQ(2, Rows(Activities())) << "cancelled";

    EXPECT_EQ(before + 1, StoredNotifications().size()) << "a cancelled delete keeps the reminder";
    scenario->AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, IDOK); });
    SendMessageW(Activities(), WM_COMMAND, IDM_DELETE, 0);
    ASSERT_EQ(1, Rows(Activities()));
    EXPECT_EQ(before, StoredNotifications().size()) << "deleting the activity clears its reminder";
    EXPECT_EQ(0, Mark(Activities()));
    EXPECT_EQ(L"one", Cell(Activities(), 0, 1));
    SendMessageW(Activities(), WM_COMMAND, IDM_DELETE, 0);
    EXPECT_EQ(0, Rows(Activities()));
    EXPECT_EQ(L"", Cell(Contacts(), 0, 2)) << "the contact has no last activity any more";
    EXPECT_FALSE(IsWindowEnabled(Notes())) << "no activity is left to type notes for";
}

// A contact that cannot be deleted keeps its activities and says so.
TEST_F(ListViews, DeletingAContactDeletesItsActivities)
{
    const CEOID gone = AddContact(L"Gone");
    const CEOID kept = AddContact(L"Kept");
    ASSERT_NE(nullptr, Start());
    AddActivity(gone, L"lost", 45000);
    AddActivity(kept, L"history", 45000);
    ContactsChanged();
    SendMessageW(Contacts(), WM_COMMAND, IDM_DELETE, 0);
    scenario->PumpUntil([&] { return Rows(Contacts()) == 1; });
    EXPECT_EQ((std::vector<std::wstring>{L"Kept"}), ListItems(Contacts(), 0));
    EXPECT_TRUE(ActivityOids(gone).empty());

    // The connection to the contacts goes while the question is open.
    scenario->AnswerDialogs([](HWND dialog) {
        CloseOutlookConnection();
        Scenario::PressButton(dialog, IDOK);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_DELETE, 0);
    scenario->PumpPending();
    poom::ContactData stored;
    EXPECT_TRUE(poom::LoadContact(kept, stored));
    EXPECT_EQ(1u, ActivityOids(kept).size()) << "the contact stays, and so does its history";
    EXPECT_EQ(1, Shown(L"Contact 'Kept' could not be deleted. The contact and its activities are kept."));
    EXPECT_EQ(1, Rows(Contacts()));
}

// Any done value but one counts as not done: Mark Done stores one. A
// record gone behind the list's back paints empty and is reported once.
TEST_F(ListViews, RowColoursFollowPastDueAndDoneWhichTheContextMenuMarks)
{
    Setting(L"pastdueflag", 1);
    Setting(L"doneflag", 1);
    const CEOID contact = AddContact(L"Colours");
    ASSERT_NE(nullptr, Start());
    const double today = TodayDate();
    AddActivity(contact, L"late", 45004, today - 1);
    AddActivity(contact, L"today", 45003, today);
    const CEOID odd = AddActivity(contact, L"undated", 45002, 0, 2);
    AddActivity(contact, L"done", 45001, today - 1, 1);
    ContactsChanged();
    ASSERT_EQ(4, Rows(Activities()));

    // Past due shows even on the marked row; due today is not past due.
    const COLORREF texts[] = {settings.lv2pastduecolor, settings.lv2textcolor, settings.lv2textcolor,
                              settings.lv2donecolor};
    for (int row = 0; row < 4; ++row) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = Activities();
        draw.nmcd.hdr.idFrom = ID_ACTIVITY_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = row;
        draw.nmcd.hdc = GetDC(Activities());
        EXPECT_EQ(CDRF_NOTIFYPOSTPAINT, OnListNotify(scenario->MainWindow(), ID_ACTIVITY_LIST,
                                                     reinterpret_cast<LPARAM>(&draw)));
        ReleaseDC(Activities(), draw.nmcd.hdc);
        EXPECT_EQ(texts[row], draw.clrText) << row;
        if (row > 0) {
            EXPECT_EQ(row % 2 ? settings.lv2r1color : settings.lv2r2color, draw.clrTextBk) << row;
        }
    }

    TapRow(Activities(), 2);
    EXPECT_EQ(L"Mark Done", MarkItem(Activities()));
    SendMessageW(Activities(), WM_COMMAND, IDM_MARK_DONE, 0);
    EXPECT_EQ(1, ReadActivity(odd).done);
    EXPECT_EQ(L"Mark Not Done", MarkItem(Activities()));
    SendMessageW(Activities(), WM_COMMAND, IDM_MARK_DONE, 0);
    EXPECT_EQ(0, ReadActivity(odd).done);

    DeleteRecordDB(activityDatabase, odd);
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(Activities(), nullptr, TRUE);
        UpdateWindow(Activities());
        scenario->PumpPending();
    }
    EXPECT_EQ(L"", Cell(Activities(), 2, 1));
    EXPECT_EQ(L"late", Cell(Activities(), 0, 1));
    EXPECT_EQ(1, Shown(L"No record found 'ReadActivityRecordDB'"));
}

TEST_F(ListViews, ARefreshWithoutTheTopRowLeavesNoActivityForTheNotesToWriteInto)
{
    const CEOID first = AddContact(L"C00");
    std::vector<CEOID> others;
    for (int i = 1; i < 20; ++i)
        others.push_back(AddContact(L"C" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i)));
    ASSERT_NE(nullptr, Start());
    const CEOID newer = AddActivity(first, L"newer", 45002, 0, 0, L"newer notes");
    const CEOID older = AddActivity(first, L"older", 45001, 0, 0, L"older notes");
    AddActivity(others.back(), L"call", 45004, 0, 0, L"call notes");
    AddActivity(others.back(), L"visit", 45003, 0, 0, L"visit notes");
    ContactsChanged();
    // The user scrolls to the end and picks the last contact's second activity.
    SendMessageW(Contacts(), LVM_ENSUREVISIBLE, 19, FALSE);
    ASSERT_GT(SendMessageW(Contacts(), LVM_GETTOPINDEX, 0, 0), 3);
    TapRow(Contacts(), 19);
    TapRow(Activities(), 1);
    ASSERT_EQ(L"visit notes", NotesText());

    // Elsewhere all but the first three contacts go, the top row with them.
    // The watch reports each; one refresh stands for them all, as the first
    // of them would find the list.
    for (size_t i = 2; i < others.size(); ++i)
        ASSERT_TRUE(poom::DeleteContactRecord(others[i]));
    CENOTIFYREQUEST request = {};
    request.dwSize = sizeof request;
    MSG report;
    while (PeekMessageW(&report, scenario->MainWindow(), WM_DBNOTIFICATION, WM_DBNOTIFICATION, PM_REMOVE))
        CeFreeNotification(&request, reinterpret_cast<CENOTIFICATION*>(report.lParam));
    ContactsChanged();
    ASSERT_EQ(3, Rows(Contacts()));
    EXPECT_EQ(L"", NotesText());
    EXPECT_FALSE(IsWindowEnabled(Notes()));
    SetWindowTextW(Notes(), L"typed after the refresh");
    scenario->Key(Notes(), 'T');
    EXPECT_EQ(std::wstring(L"newer notes"), ReadActivity(newer).notes);
    EXPECT_EQ(std::wstring(L"older notes"), ReadActivity(older).notes);
}

// An edit through the contact card selects that contact again, and so does
// the refresh that follows it, but only that one: a change made elsewhere
// selects the top row.
TEST_F(ListViews, AnEditSelectsTheEditedContactAndAChangeElsewhereTheTopRow)
{
    const CEOID b = AddContact(L"B");
    const CEOID c = AddContact(L"C");
    AddContact(L"D");
    ASSERT_NE(nullptr, Start());
    // Arrow keys step through the contacts and stop at the ends.
    const std::pair<int, int> keysAndMarks[] = {{VK_UP, 0}, {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 2}, {VK_UP, 1}};
    for (const auto& step : keysAndMarks) {
        scenario->Key(Contacts(), step.first);
        EXPECT_EQ(step.second, Mark(Contacts())) << "after key " << step.first;
    }
    EXPECT_EQ(1, currentContactIndex);

    TapRow(Contacts(), 2);
    // Closes the device's contact card as soon as it is open.
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND card = FindWindowW(L"Dialog", L"Contacts"))
            PostMessageW(card, WM_CLOSE, 0, 0);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_EDIT, 0);
    KillTimer(nullptr, closer);
    scenario->PumpPending();
    EXPECT_EQ(2, Mark(Contacts()));
    EXPECT_EQ(2, currentContactIndex);
    ContactsChanged();
    EXPECT_EQ(2, Mark(Contacts()));
    ContactsChanged();
    EXPECT_EQ(0, Mark(Contacts()));

    TapRow(Contacts(), 2);
    // Another program renames B; the watch on the device's contacts reports it.
    poom::ContactData renamed;
    ASSERT_TRUE(poom::LoadContact(b, renamed));
    renamed.text[0] = L"E";
    ASSERT_EQ(b, poom::SaveContactRecord(renamed));
    ASSERT_TRUE(scenario->PumpUntil([&] { return Cell(Contacts(), 2, 0) == L"E"; }));
    EXPECT_EQ(0, Mark(Contacts())) << "the top row, not the contact selected before";

    ASSERT_TRUE(poom::DeleteContactRecord(c));
    ASSERT_TRUE(scenario->PumpUntil([&] { return Rows(Contacts()) == 2; }));
    EXPECT_EQ((std::vector<std::wstring>{L"D", L"E"}), ListItems(Contacts(), 0));
}
