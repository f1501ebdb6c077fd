// Reminders over the notification service: the time rule, the title and
// text, scheduling, and the search-and-clear with its failure reports.
#include "activity/reminders.h"
#include "activity/activity_diagnostics.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_faults.h"
#include "tests/notify/notify_testing.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void* NoMemory(size_t)
{
    return nullptr;
}

// A scenario that never starts: its own device folder and the dialog hook.
class Reminders : public ::testing::Test {
protected:
    void TearDown() override
    {
        reminderAllocate = std::malloc;
        cenotify::FailHandlesCall(-1);
    }
    Scenario scenario;
};

// ---- Time rule -------------------------------------------------------------------------

// Whole days and weeks, and the title and text as armed, are checked as the
// activity dialog arms them.
TEST_F(Reminders, ReminderTimeIsTheWholeNextDayPlusTheIntervalAndLongNamesAreCutToFitTheText)
{
    const double nextDate = OleDate(At(2030, 3, 12, 15, 20));
    ASSERT_EQ(1, ScheduleReminder(L"t", L"h", ReminderTime(nextDate, 1), PUN_LED | PUN_DIALOG));
    std::vector<StoredNotification> stored = StoredNotifications();
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(0.0, ReminderInterval(14));

    // "1 hour": one o'clock that morning, or a second before it.
    const SYSTEMTIME& hour = stored[0].start;
    EXPECT_EQ(12, hour.wDay);
    const int seconds = hour.wHour * 3600 + hour.wMinute * 60 + hour.wSecond;
    EXPECT_GE(seconds, 3599);
    EXPECT_LE(seconds, 3600);

    const std::wstring longName(70, L'n'), longAction(70, L'a');
    const double day = OleDate(At(2030, 3, 12));
    wchar_t title[REMINDER_TITLE_CAPACITY], text[REMINDER_TEXT_CAPACITY];
    FormatReminder(longName.c_str(), longAction.c_str(), day, title, REMINDER_TITLE_CAPACITY, text,
                   REMINDER_TEXT_CAPACITY);
    EXPECT_EQ(L"Vantaro Reminder:\n" + std::wstring(39, L'n') + L" (" + std::wstring(39, L'a') + L") " +
                  ShortDate(day),
              std::wstring(text));
}

// ---- Clearing ---------------------------------------------------------------------------

// A clear the service fails is reported and clears nothing.
TEST_F(Reminders, ClearingTakesEveryIdenticalDialogReminderAndNothingElseOrNothingWhenTheServiceFails)
{
    ScheduleReminder(L"text", L"QL 1", OleDate(At(2030, 5, 2)), PUN_LED | PUN_DIALOG);
    ScheduleReminder(L"text", L"QL 1", OleDate(At(2030, 5, 9)), PUN_LED | PUN_DIALOG);
    ScheduleReminder(L"text", L"QL 2", OleDate(At(2030, 5, 2)), PUN_LED | PUN_DIALOG);
    ScheduleReminder(L"Text", L"QL 1", OleDate(At(2030, 5, 2)), PUN_LED | PUN_DIALOG);
    ScheduleDialog(At(2030, 4, 1, 9, 0), L"QL 1", L"text", PUN_LED);   // same words, but no dialog
    ClearReminder(L"text", L"QL 1");
    std::vector<StoredNotification> left = StoredNotifications();
    ASSERT_EQ(3u, left.size());
    EXPECT_EQ(L"QL 2", left[0].title);
    EXPECT_EQ(L"Text", left[1].text);
    EXPECT_EQ(static_cast<DWORD>(PUN_LED), left[2].flags);
    EXPECT_TRUE(scenario.Dialogs().empty());

    ScheduleReminder(L"text", L"QL 1", OleDate(At(2030, 5, 2)), PUN_DIALOG);
    struct Case {
        int failingCall;     // -1: memory runs out instead
        const wchar_t* message;
        const wchar_t* title;
    } cases[] = {
        {0, L"Failed CeGetUserNotificationHandles!", L"Error"},
        {-1, L"Could not allocate mem for pHandles!", L"Out of Memory"},
        {1, L"Error with CeGetUserNotificationHandles!", L"Error"},
    };
    size_t seen = 0;
    for (const Case& c : cases) {
        if (c.failingCall >= 0)
            cenotify::FailHandlesCall(c.failingCall);
        else
            reminderAllocate = NoMemory;
        ClearReminder(L"text", L"QL 1");
        reminderAllocate = std::malloc;
        cenotify::FailHandlesCall(-1);
        ASSERT_EQ(++seen, scenario.Dialogs().size()) << c.message;
        const SeenDialog& box = scenario.Dialogs().back();
        EXPECT_EQ(c.title, box.title);
        EXPECT_NE(box.texts.end(), std::find(box.texts.begin(), box.texts.end(), c.message))
            << "message: " << std::string(c.message, c.message + wcslen(c.message));
        EXPECT_EQ(4u, StoredNotifications().size());
    }
}

TEST_F(Reminders, NotificationWithoutTitleOrTextReadsAsTheirPlaceholders)
{
    HANDLE handle = ScheduleDialog(At(2030, 4, 1, 9, 0), nullptr, nullptr, PUN_DIALOG);
    int isDialog = 0;
    wchar_t title[40], text[40];
    EXPECT_EQ(NOTIFICATION_INFO_READ, ReadNotificationInfo(handle, &isDialog, title, 40, text, 40));
    EXPECT_EQ(1, isDialog);
    EXPECT_STREQ(L"(No Title)", title);
    EXPECT_STREQ(L"(No Text)", text);
    ClearReminder(L"(No Text)", L"(No Title)");
    EXPECT_TRUE(StoredNotifications().empty()) << "placeholders match like any title";

    EXPECT_EQ(NOTIFICATION_INFO_UNAVAILABLE, ReadNotificationInfo(handle, &isDialog, title, 40, text, 40));
    HANDLE other = ScheduleDialog(At(2030, 4, 1, 9, 0), L"a", L"b", PUN_DIALOG);
    reminderAllocate = NoMemory;
    EXPECT_EQ(NOTIFICATION_INFO_NO_MEMORY, ReadNotificationInfo(other, &isDialog, title, 40, text, 40));
}

} // namespace
