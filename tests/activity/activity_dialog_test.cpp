// The activity dialog on the real main window: opening, the Date rule,
// saving with its refreshes and labels, and the reminders it arms.
#include "activity/activity_dialog.h"
#include "platform/notify/device_clock.h"
#include "platform/notify/notify_host.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/label_lists.h"
#include "tests/notify/notify_testing.h"
#include "tests/harness/activity_readers.h"
#include "tests/views/views_fixture.h"
#include "views/list_views.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

SYSTEMTIME Picker(HWND dialog, int id)
{
    SYSTEMTIME time = {};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
}

void SetPicker(HWND dialog, int id, const SYSTEMTIME& time)
{
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

// What the picker sends when the user picks a day.
void PickDate(HWND dialog, int id, const SYSTEMTIME& time)
{
    SetPicker(dialog, id, time);
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = GetDlgItem(dialog, id);
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.st = time;
    SendMessageW(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&change));
}

void SelectCombo(HWND dialog, int id, int index)
{
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
}

std::vector<std::wstring> Labels(const wchar_t* database)
{
    std::vector<std::wstring> items = ReadLabels(database);
    std::sort(items.begin(), items.end());
    return items;
}

bool HasLabel(const wchar_t* database, const wchar_t* label)
{
    const std::vector<std::wstring> items = ReadLabels(database);
    return std::find(items.begin(), items.end(), label) != items.end();
}

class ActivityDialogTest : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        const SYSTEMTIME now = At(2030, 3, 12, 8, 30);
        SetDeviceClock(&now);
    }
    void TearDown() override
    {
        if (scenario->Running()) {
            EXPECT_EQ(0, scenario->Close());
        }
        cenotify::StopNotificationHost();
        SetDeviceClock(nullptr);
        ViewsTest::TearDown();
    }

    void StartWithContacts()
    {
        ann = AddContact(L"Baker, Ann");
        ben = AddContact(L"Cole, Ben");
        cara = AddContact(L"Diaz, Cara");
        ASSERT_NE(nullptr, scenario->Start());
    }
    int RowOf(CEOID contact) const
    {
        for (int row = 0; row < contactCount; ++row)
            if (contactOIDList[row] == contact)
                return row;
        return -1;
    }
    void SelectContact(CEOID contact) { SelectRowByTap(Contacts(), RowOf(contact)); }

    // Runs the dialog; `use` sees it filled and decides how it ends. Other
    // windows (message boxes) are confirmed and recorded. When the dialog
    // comes back after a message box (a save that failed keeps it open),
    // `back` sees it and must end it; without `back` that is a failure.
    void RunDialog(LONG oid, const std::function<void(HWND)>& use,
                   const std::function<void(HWND)>& back = nullptr)
    {
        bool seen = false, afterMessage = false;
        scenario->AnswerDialogs([&](HWND window) {
            if (!GetDlgItem(window, IDC_REMINDER_COMBO) || !GetDlgItem(window, IDC_CONTACT_COMBO)) {
                afterMessage = true;
                lastMessage = scenario->Dialogs().back().texts;
                Scenario::PressButton(window, IDOK);
            } else if (!seen) {
                seen = true;
                openDialog = window;
                use(window);
            } else if (afterMessage) {
                afterMessage = false;
                if (back) {
                    back(window);
                } else {
                    ADD_FAILURE() << "the dialog stayed open after a message";
                    Close(window);
                }
            }
        });
        // A dialog that neither closes nor shows a message would hang the test.
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 30000, CloseForgottenDialog);
        if (oid == -1)
            scenario->Command(IDM_NEW_ACTIVITY);
        else
            ShowActivityDialog(scenario->MainWindow(), oid);
        KillTimer(nullptr, watchdog);
        openDialog = nullptr;
        EXPECT_TRUE(seen) << "the dialog never came up";
    }
    static void CALLBACK CloseForgottenDialog(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        ADD_FAILURE() << "the dialog was still open after 30 s";
        Close(openDialog);
    }
    static HWND openDialog;
    // A new activity for the marked contact with its Next Action, Next Date
    // and reminder choice.
    void SaveNewActivity(const wchar_t* nextAction, const SYSTEMTIME& nextDate, int reminder)
    {
        RunDialog(-1, [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_NEXT_ACTION_COMBO, nextAction);
            SetPicker(dialog, IDC_NEXT_DATE_PICKER, nextDate);
            SelectCombo(dialog, IDC_REMINDER_COMBO, reminder);
            Scenario::PressButton(dialog, IDOK);
        });
    }
    static void Close(HWND dialog)
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ACTIVITY_CLOSE, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ACTIVITY_CLOSE)));
    }
    CEOID Write(CEOID contact, const wchar_t* nextAction, const SYSTEMTIME& date, const SYSTEMTIME& next,
                int remindIndex)
    {
        ActivityRecord record = {};
        record.contactOid = contact;
        wcscpy(record.event, L"Meeting");
        wcscpy(record.nextAction, nextAction);
        wcscpy(record.notes, L"Stored notes");
        wcscpy(record.user1, L"north");
        record.date = OleDate(date);
        record.nextDate = OleDate(next);
        record.remindIndex = remindIndex;
        record.done = 2;
        const CEOID oid = WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
        UpdateLastActivityFlag(activityDatabase, contact);
        return oid;
    }

    std::vector<std::wstring> lastMessage; // the texts of the last message box RunDialog answered
    CEOID ann = 0, ben = 0, cara = 0;
};

HWND ActivityDialogTest::openDialog = nullptr;

// ---- Opening --------------------------------------------------------------------------

TEST_F(ActivityDialogTest, NewActivityOpensForTheSelectedContactWithTodayAndKeepsNextDateNotBeforeDate)
{
    StartWithContacts();
    // The dialog raises the input panel and closing it with the close picture
    // lowers the panel again: the panes move twice underneath it, and every
    // pixel must come back.
    Write(ann, L"Call back", At(2030, 1, 2), At(2030, 3, 20), 0);
    Write(ann, L"Send offer", At(2030, 1, 1), At(2030, 3, 21), 0);
    SelectContact(ann);
    scenario->PumpPending();
    // The panes painted whole: a row repainted alone leaves the grid lines
    // at its edges unlike the whole list's painting.
    for (HWND pane : {Contacts(), Activities(), GetDlgItem(scenario->MainWindow(), ID_NOTES_PANE)})
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Taken once the window has settled: the notes pane's scroll bar takes
    // its state from messages still queued after the repaint.
    const WindowImage before = scenario->SettledCapture(scenario->MainWindow());
    ASSERT_FALSE(before.bits.empty());
    RunDialog(-1, [&](HWND dialog) {
        UpdateWindow(dialog);
        Close(dialog);
    });
    // The panes repaint as the input panel's going down reaches them; on a
    // busy machine that may take a while.
    RECT stale = {};
    scenario->PumpUntil([&] {
        stale = DifferingArea(before, Scenario::CaptureWindow(scenario->MainWindow()));
        return IsRectEmpty(&stale) != FALSE;
    }, 5000);
    EXPECT_TRUE(IsRectEmpty(&stale)) << "stale pixels at (" << stale.left << "," << stale.top << ")-("
                                     << stale.right << "," << stale.bottom << ")";

    SelectContact(ben);
    RunDialog(-1, [&](HWND dialog) {
        EXPECT_EQ(L"Cole, Ben", ItemText(dialog, IDC_CONTACT_COMBO));
        EXPECT_EQ((std::vector<std::wstring>{L"Baker, Ann", L"Cole, Ben", L"Diaz, Cara"}),
                  ListItems(GetDlgItem(dialog, IDC_CONTACT_COMBO)));
        EXPECT_EQ(L"Last Date:", ItemText(dialog, IDC_DATE_LABEL)) << "captions are the field labels of the moment";
        EXPECT_EQ(L"NONE", ItemText(dialog, IDC_REMINDER_COMBO));
        EXPECT_EQ(Labels(EVENTS_DATABASE), ListItems(GetDlgItem(dialog, IDC_EVENT_COMBO)));
        EXPECT_TRUE(ListItems(GetDlgItem(dialog, IDC_USER1_COMBO)).empty());
        const SYSTEMTIME date = Picker(dialog, IDC_DATE_PICKER);
        EXPECT_EQ(12, date.wDay);
        EXPECT_EQ(8, date.wHour);
        EXPECT_EQ(12, Picker(dialog, IDC_NEXT_DATE_PICKER).wDay);
        // Scrollable while the panel is up, the close picture staying put.
        RECT before, after;
        GetWindowRect(GetDlgItem(dialog, IDC_ACTIVITY_CLOSE), &before);
        int low = 0, high = 0;
        GetScrollRange(dialog, SB_VERT, &low, &high);
        EXPECT_GT(high, 0);
        SendMessageW(dialog, WM_VSCROLL, SB_PAGEDOWN, 0);
        SendMessageW(dialog, WM_VSCROLL, SB_PAGEDOWN, 0);
        EXPECT_EQ(high, GetScrollPos(dialog, SB_VERT));
        GetWindowRect(GetDlgItem(dialog, IDC_ACTIVITY_CLOSE), &after);
        EXPECT_EQ(before.top, after.top) << "the close picture stays at the top while scrolled";

        // A Date after the Next Date moves the Next Date along; an earlier one leaves it.
        PickDate(dialog, IDC_DATE_PICKER, At(2030, 3, 20, 10, 5));
        const SYSTEMTIME next = Picker(dialog, IDC_NEXT_DATE_PICKER);
        EXPECT_EQ(20, next.wDay);
        EXPECT_EQ(10, next.wHour);
        PickDate(dialog, IDC_NEXT_DATE_PICKER, At(2030, 3, 2, 7, 0));
        PickDate(dialog, IDC_DATE_PICKER, At(2030, 3, 1, 7, 0));
        EXPECT_EQ(2, Picker(dialog, IDC_NEXT_DATE_PICKER).wDay) << "a later Next Date is left alone";
        PickDate(dialog, IDC_NEXT_DATE_PICKER, At(2030, 2, 27, 7, 0));
        Scenario::PressButton(dialog, IDOK);
    });
    const std::vector<CEOID> saved = ActivityOids(ben);
    ASSERT_EQ(1u, saved.size());
    const ActivityRecord record = ReadActivity(saved[0]);
    EXPECT_EQ(ShortDate(OleDate(At(2030, 2, 27))), ShortDate(record.nextDate)) << "an earlier Next Date is kept";
    EXPECT_EQ(ShortDate(OleDate(At(2030, 3, 1))), ShortDate(record.date));

    SendMessageW(Contacts(), LVM_SETSELECTIONMARK, 0, -1);
    RunDialog(-1, [&](HWND dialog) {
        EXPECT_EQ(L"Baker, Ann", ItemText(dialog, IDC_CONTACT_COMBO)) << "without a selected contact, the first";
        Close(dialog);
    });
}

// A record that cannot be read opens as new, and saving it reports the write.
// An edit shows the record's fields, reminder and dates with their time; moved
// to another contact, the activity marks both contacts' latest and selects the new one.
TEST_F(ActivityDialogTest, EditOpensUnreadableRecordsAsNewShowsTheFieldsAndMovingMarksBothContacts)
{
    StartWithContacts();
    SelectContact(ann);
    bool keptOpen = false;
    RunDialog(
        0x7777,
        [&](HWND dialog) {
            EXPECT_EQ(L"", ItemText(dialog, IDC_EVENT_COMBO));
            EXPECT_EQ(L"Baker, Ann", ItemText(dialog, IDC_CONTACT_COMBO));
            SetDlgItemTextW(dialog, IDC_NOTES_EDIT, L"Typed before the failure");
            Scenario::PressButton(dialog, IDOK);
        },
        [&](HWND dialog) {
            if (std::none_of(lastMessage.begin(), lastMessage.end(), [](const std::wstring& text) {
                    return text.rfind(L"The activity could not be saved", 0) == 0;
                }))
                return; // back between the write's own report and the dialog's
            keptOpen = ItemText(dialog, IDC_NOTES_EDIT) == L"Typed before the failure";
            Close(dialog);
        });
    EXPECT_TRUE(scenario->Saw(L"No record found 'ReadActivityRecordDB'", L"Error"));
    EXPECT_TRUE(scenario->Saw(L"No record found 'WriteActivityRecordDB'", L"Error"));
    EXPECT_TRUE(keptOpen) << "a failed save keeps the dialog open with what was typed";
    EXPECT_TRUE(ActivityOids(ann).empty());

    const CEOID oid = Write(cara, L"Fax Quote", At(2030, 2, 1, 9, 15), At(2030, 4, 2, 16, 45), 3);
    SelectContact(cara);
    RunDialog(static_cast<LONG>(oid), [&](HWND dialog) {
        EXPECT_EQ(L"Diaz, Cara", ItemText(dialog, IDC_CONTACT_COMBO));
        EXPECT_EQ(L"Meeting", ItemText(dialog, IDC_EVENT_COMBO));
        EXPECT_EQ(L"Fax Quote", ItemText(dialog, IDC_NEXT_ACTION_COMBO));
        EXPECT_EQ(L"Stored notes", ItemText(dialog, IDC_NOTES_EDIT));
        EXPECT_EQ(L"north", ItemText(dialog, IDC_USER1_COMBO));
        EXPECT_EQ(L"4 hours", ItemText(dialog, IDC_REMINDER_COMBO));
        const SYSTEMTIME date = Picker(dialog, IDC_DATE_PICKER), next = Picker(dialog, IDC_NEXT_DATE_PICKER);
        EXPECT_EQ(9, date.wHour);
        EXPECT_EQ(15, date.wMinute);
        EXPECT_EQ(16, next.wHour);
        Scenario::PressButton(dialog, IDOK);
    });
    const ActivityRecord saved = ReadActivity(oid);
    EXPECT_EQ(2, saved.done) << "the done value is written back as it was";
    EXPECT_EQ(3, saved.remindIndex);

    const CEOID kept = Write(ann, L"Meeting", At(2030, 1, 1), At(2030, 1, 2), 0);
    const CEOID moved = Write(ann, L"Meeting", At(2030, 2, 1), At(2030, 2, 2), 0);
    SelectContact(ann);
    RunDialog(static_cast<LONG>(moved), [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_CONTACT_COMBO, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(L"Cole, Ben"));
        Scenario::PressButton(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivityOids(ann));
    EXPECT_EQ(std::vector<CEOID>{moved}, ActivityOids(ben));
    EXPECT_TRUE(ReadActivity(kept).lastFlag);
    EXPECT_TRUE(ReadActivity(moved).lastFlag);
    EXPECT_STREQ(L"Cole, Ben", ReadActivity(moved).fileAs);
    EXPECT_EQ(RowOf(ben), currentContactIndex);
    EXPECT_EQ(RowOf(ben), Mark(Contacts()));
    EXPECT_EQ(1, activityCount);
}

// ---- Saving ---------------------------------------------------------------------------

TEST_F(ActivityDialogTest, SavedNewActivityJoinsTheListsAndTheContactsLatestColumns)
{
    StartWithContacts();
    const CEOID older = Write(ben, L"Meeting", At(2030, 1, 5), At(2030, 1, 6), 0);
    SelectContact(ben);
    RunDialog(-1, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_EVENT_COMBO, L"  Site Tour  ");
        SetDlgItemTextW(dialog, IDC_NEXT_ACTION_COMBO, L"email");
        SetDlgItemTextW(dialog, IDC_USER1_COMBO, L"     ");
        SetDlgItemTextW(dialog, IDC_USER2_COMBO, L"Gold");
        SetDlgItemTextW(dialog, IDC_USER3_COMBO, std::wstring(60, L'u').c_str());
        SetDlgItemTextW(dialog, IDC_NOTES_EDIT, L" Asked for the\r\nprice list ");
        PickDate(dialog, IDC_DATE_PICKER, At(2030, 3, 12, 9, 0));
        SetPicker(dialog, IDC_NEXT_DATE_PICKER, At(2030, 3, 19, 9, 0));
        SelectCombo(dialog, IDC_REMINDER_COMBO, 0);
        Scenario::PressButton(dialog, IDOK);
    });

    const std::vector<CEOID> saved = ActivityOids(ben);
    ASSERT_EQ(2u, saved.size());
    const CEOID added = saved[0] == older ? saved[1] : saved[0];
    const ActivityRecord record = ReadActivity(added);
    EXPECT_STREQ(L"Site Tour", record.event);
    EXPECT_STREQ(L"email", record.nextAction);
    EXPECT_STREQ(L"", record.user1);
    EXPECT_STREQ(L"Gold", record.user2);
    EXPECT_EQ(std::wstring(39, L'u'), record.user3) << "overlong texts are cut to their fields";
    EXPECT_STREQ(L"Asked for the\r\nprice list", record.notes);
    EXPECT_TRUE(record.lastFlag) << "the latest Next Date carries the mark";
    EXPECT_FALSE(ReadActivity(older).lastFlag);

    // Both listed, newest first; the marked row (still Ben: no other contact
    // has a Next Date) shows the latest activity's.
    EXPECT_EQ((std::vector<std::wstring>{L"Site Tour", L"Meeting"}), ListItems(Activities(), 1));
    EXPECT_EQ(ShortDate(OleDate(At(2030, 3, 19))), Cell(Contacts(), Mark(Contacts()), 3));

    // Typed labels join their lists; the lower-case spelling beside the stored one.
    EXPECT_TRUE(HasLabel(EVENTS_DATABASE, L"Site Tour"));
    EXPECT_TRUE(HasLabel(NEXT_ACTION_DATABASE, L"email"));
    EXPECT_TRUE(HasLabel(NEXT_ACTION_DATABASE, L"Email Response"));
    EXPECT_TRUE(Labels(USER1_DATABASE).empty()) << "blanks only: stored empty, not added";
    EXPECT_EQ(std::vector<std::wstring>{L"Gold"}, Labels(USER2_DATABASE));
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(39, L'u')}, Labels(USER3_DATABASE));
}

TEST_F(ActivityDialogTest, OkWithoutAnyNamedContactRefusesToSaveAndKeepsTheDialogOpen)
{
    AddContact(L"");
    AddContact(L"");
    ASSERT_NE(nullptr, scenario->Start());
    bool stillOpen = false;
    RunDialog(-1, [&](HWND dialog) {
        EXPECT_TRUE(ListItems(GetDlgItem(dialog, IDC_CONTACT_COMBO)).empty());
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stillOpen = IsWindow(dialog) != 0;
        Close(dialog);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(scenario->Saw(NO_CONTACT_MESSAGE, L"Warning"));
    EXPECT_TRUE(ActivityOids(0).empty());
}

// ---- Reminders --------------------------------------------------------------------------

TEST_F(ActivityDialogTest, SavingArmsTheReminderClosingKeepsItResavingReplacesItAndADueOneShowsAtTheNextStart)
{
    StartWithContacts();
    SelectContact(ben);
    SaveNewActivity(L"Return Phone Call", At(2030, 3, 14, 15, 0), 6);  // "1 day"
    const CEOID called = ActivityOids(ben).at(0);
    const std::wstring date = ShortDate(OleDate(At(2030, 3, 14)));
    std::vector<StoredNotification> armed = StoredNotifications();
    ASSERT_EQ(1u, armed.size());
    EXPECT_EQ(L"QL " + date, armed[0].title);
    EXPECT_EQ(L"Vantaro Reminder:\nCole, Ben (Return Phone Call) " + date, armed[0].text);
    EXPECT_EQ(15, armed[0].start.wDay);
    EXPECT_EQ(0, armed[0].start.wHour);
    EXPECT_EQ(5u, armed[0].flags);
    EXPECT_EQ(6, StoredValue(L"remindindex"));

    // Closed with the close picture, an edit changes nothing.
    RunDialog(static_cast<LONG>(called), [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_NEXT_ACTION_COMBO, L"Brand New");
        SelectCombo(dialog, IDC_REMINDER_COMBO, 0);
        Close(dialog);
    });
    EXPECT_STREQ(L"Return Phone Call", ReadActivity(called).nextAction);
    EXPECT_EQ(6, ReadActivity(called).remindIndex);
    EXPECT_EQ(1u, StoredNotifications().size());
    EXPECT_FALSE(HasLabel(NEXT_ACTION_DATABASE, L"Brand New"));

    // The next new activity starts with the same choice; NONE arms nothing.
    // With Add Labels off, its typed event stays out of the list.
    settings.addlabelsflag = 0;
    RunDialog(-1, [&](HWND dialog) {
        EXPECT_EQ(L"1 day", ItemText(dialog, IDC_REMINDER_COMBO));
        SetDlgItemTextW(dialog, IDC_EVENT_COMBO, L"Lunch");
        SelectCombo(dialog, IDC_REMINDER_COMBO, 0);
        Scenario::PressButton(dialog, IDOK);
    });
    settings.addlabelsflag = 1;
    EXPECT_EQ(1u, StoredNotifications().size());
    EXPECT_EQ(0, StoredValue(L"remindindex"));
    EXPECT_FALSE(HasLabel(EVENTS_DATABASE, L"Lunch"));

    // Saved again with other words and another time, it is replaced.
    RunDialog(static_cast<LONG>(called), [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_NEXT_ACTION_COMBO, L"Fax Quote");
        SelectCombo(dialog, IDC_REMINDER_COMBO, 13);  // "4 weeks"
        Scenario::PressButton(dialog, IDOK);
    });
    armed = StoredNotifications();
    ASSERT_EQ(1u, armed.size());
    EXPECT_NE(std::wstring::npos, armed[0].text.find(L"(Fax Quote)"));
    EXPECT_EQ(4, armed[0].start.wMonth);
    EXPECT_EQ(11, armed[0].start.wDay);

    // A reminder whose time passes while the program is closed is shown at
    // the next start; one cleared by editing never appears.
    SelectContact(cara);
    SaveNewActivity(L"Return Phone Call", At(2030, 3, 13, 11, 0), 1);
    SaveNewActivity(L"Fax Quote", At(2030, 3, 14, 11, 0), 6);
    CEOID cleared = 0;
    for (CEOID oid : ActivityOids(cara))
        if (wcscmp(ReadActivity(oid).nextAction, L"Fax Quote") == 0)
            cleared = oid;
    RunDialog(static_cast<LONG>(cleared), [&](HWND dialog) {
        SelectCombo(dialog, IDC_REMINDER_COMBO, 0);
        Scenario::PressButton(dialog, IDOK);
    });
    ASSERT_EQ(2u, StoredNotifications().size()) << "Ben's and one of Cara's";
    EXPECT_EQ(0, scenario->Close());
    cenotify::StopNotificationHost();

    const SYSTEMTIME later = At(2030, 3, 16, 9, 0);
    SetDeviceClock(&later);
    ASSERT_NE(nullptr, scenario->Start());
    // Its words are the armed ones, which the arming test checks.
    const std::wstring shown = L"QL " + ShortDate(OleDate(At(2030, 3, 13)));
    EXPECT_TRUE(scenario->PumpUntil([&] { return FindWindowW(cenotify::BUBBLE_CLASS, shown.c_str()) != nullptr; }));
}

} // namespace
