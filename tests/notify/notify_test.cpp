// Conformance of the notification service stand-in: the calls as the
// reminders use them, the device-wide store and the host's bubbles.
#include "platform/notify/device_clock.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_host.h"
#include "platform/notify/notify_store.h"
#include "tests/harness/scenario.h"
#include "tests/notify/notify_testing.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A bubble on the screen (with this title, when given).
HWND Bubble(const std::wstring& title = std::wstring())
{
    const wchar_t* name = title.empty() ? nullptr : title.c_str();
    for (HWND bubble = FindWindowW(cenotify::BUBBLE_CLASS, name); bubble;
         bubble = FindWindowExW(nullptr, bubble, cenotify::BUBBLE_CLASS, name))
        if (IsWindowVisible(bubble))
            return bubble;
    return nullptr;
}

// The helper program, started with these arguments.
PROCESS_INFORMATION StartHelper(const std::wstring& arguments, DWORD flags = 0)
{
    std::wstring line = L"\"" + WindowsPath(NOTIFY_HELPER) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    EXPECT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                               &process));
    return process;
}

// Each test gets a device folder of its own and a pinned clock.
class NotifyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"vantaro-notify-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        CreateDirectoryW(folder.c_str(), nullptr);
        SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", folder.c_str());
        const SYSTEMTIME now = At(2030, 3, 12, 8, 0);
        SetDeviceClock(&now);
    }
    void TearDown() override
    {
        cenotify::StopNotificationHost();
        SetDeviceClock(nullptr);
        SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", nullptr);
        for (const wchar_t* name : {L"notifications.dat", L"notifications.tmp", L"notifications.bad"})
            DeleteFileW((folder + L"\\" + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    // Lets the host take at least two full looks at the store; a host that
    // stalls fails the test rather than pass an absence check unseen.
    static void LetHostLook()
    {
        const int seen = cenotify::HostPollCount();
        ASSERT_TRUE(PumpUntil([seen] { return cenotify::HostPollCount() >= seen + 2; }))
            << "the notification host took no look at the store in 10 s";
    }
    std::wstring folder;
    static int counter;
};
int NotifyTest::counter;

// ---- The calls -------------------------------------------------------------------

TEST_F(NotifyTest, HandlesListEveryNotificationClearRemovesOneAUserPartMayBeAbsentAndDamageIsSetAside)
{
    HANDLE first = ScheduleDialog(At(2030, 3, 13, 0, 0), L"a", L"one");
    HANDLE second = ScheduleDialog(At(2030, 3, 14, 0, 0), L"b", L"two");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(first, second);
    EXPECT_EQ((std::vector<HANDLE>{first, second}), NotificationHandles());

    EXPECT_TRUE(CeClearUserNotification(first));
    EXPECT_EQ(std::vector<HANDLE>{second}, NotificationHandles());
    EXPECT_FALSE(CeClearUserNotification(first));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(NotificationInfo(first).empty());

    // Another program's notification may have no user part.
    CE_NOTIFICATION_TRIGGER trigger = TimeTrigger(At(2030, 3, 12, 9, 0));
    const std::vector<BYTE> bare = NotificationInfo(CeSetUserNotificationEx(nullptr, &trigger, nullptr));
    ASSERT_FALSE(bare.empty());
    EXPECT_EQ(nullptr, reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(bare.data())->pceun);

    // A damaged store is set aside and the service carries on.
    HANDLE file = CreateFileW(cenotify::StorePath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 20, nullptr, FILE_BEGIN);
    DWORD written = 0;
    WriteFile(file, "\xFF\xFF\xFF\xFF", 4, &written, nullptr);
    CloseHandle(file);

    EXPECT_TRUE(NotificationHandles().empty());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\notifications.bad").c_str()));
    EXPECT_NE(nullptr, ScheduleDialog(At(2030, 3, 13, 0, 0), L"a", L"b"));
    EXPECT_EQ(1u, NotificationHandles().size());
}

TEST(NotifyStoreFormat, EveryTruncationOfAStoreIsRejected)
{
    cenotify::StoreContents contents;
    cenotify::StoredNotification item;
    item.handle = 7;
    item.title = {true, L"QL"};
    item.text = {true, L"text"};
    contents.items.push_back(item);
    const std::vector<uint8_t> bytes = cenotify::EncodeStore(contents);
    cenotify::StoreContents decoded;
    ASSERT_TRUE(cenotify::DecodeStore(bytes, &decoded));
    for (size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(cenotify::DecodeStore(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size), &decoded));
}

// ---- One store for the whole device -------------------------------------------------

TEST_F(NotifyTest, NotificationsOutliveTheProgramThatSetThemAndAreSharedBetweenPrograms)
{
    DWORD exitCode = 1;
    ASSERT_TRUE(RunProgram(L"\"" + WindowsPath(NOTIFY_HELPER) + L"\" add 3 early", &exitCode));
    ASSERT_EQ(0u, exitCode);
    const std::vector<StoredNotification> early = StoredNotifications();
    ASSERT_EQ(3u, early.size());
    EXPECT_EQ(L"early-2", early[2].title);

    // Two programs adding at the same time lose nothing and share no handle.
    PROCESS_INFORMATION processes[2] = {StartHelper(L"add 20 p0"), StartHelper(L"add 20 p1")};
    for (PROCESS_INFORMATION& process : processes) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        GetExitCodeProcess(process.hProcess, &exitCode);
        EXPECT_EQ(0u, exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    const std::vector<HANDLE> handles = NotificationHandles();
    EXPECT_EQ(43u, handles.size());
    EXPECT_EQ(43u, std::set<HANDLE>(handles.begin(), handles.end()).size()) << "no handle is shared";
}

// ---- The host -----------------------------------------------------------------------

TEST_F(NotifyTest, BubbleAppearsAtItsTimeWithTitleTextAndDismissAndDismissRemovesIt)
{
    HWND program = CreateWindowExW(0, L"STATIC", L"program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, program);
    ASSERT_TRUE(cenotify::NotificationHostRunning()) << "the program's first window starts the host";
    ASSERT_NE(nullptr, ScheduleDialog(At(2030, 3, 12, 9, 0), L"QL due", L"Vantaro Reminder:\nAnn (Call) 3/12/2030"));
    const int flashes = cenotify::FlashCount();

    LetHostLook();
    EXPECT_EQ(nullptr, Bubble()) << "nothing before its time";

    const SYSTEMTIME due = At(2030, 3, 12, 9, 0);
    SetDeviceClock(&due);
    cenotify::NotificationStoreChanged();
    ASSERT_TRUE(PumpUntil([] { return Bubble(L"QL due") != nullptr; }));
    HWND bubble = Bubble(L"QL due");
    EXPECT_EQ(L"QL due", ItemText(bubble, cenotify::ID_BUBBLE_TITLE));
    EXPECT_EQ(L"Vantaro Reminder:\nAnn (Call) 3/12/2030", ItemText(bubble, cenotify::ID_BUBBLE_TEXT));
    EXPECT_EQ(L"Dismiss", ItemText(bubble, cenotify::ID_BUBBLE_DISMISS));
    // On the device screen (240 x 320), below its navigation bar.
    RECT placed;
    GetWindowRect(bubble, &placed);
    EXPECT_TRUE(placed.left >= 0 && placed.top >= 26 && placed.right <= 240 && placed.bottom <= 320)
        << placed.left << "," << placed.top << " - " << placed.right << "," << placed.bottom;
    EXPECT_TRUE(PumpUntil([flashes] { return cenotify::FlashCount() > flashes; }));
    EXPECT_EQ(program, cenotify::LastFlashedWindow());

    // Shown but not dismissed: still there.
    LetHostLook();
    EXPECT_EQ(1u, NotificationHandles().size());
    EXPECT_EQ(bubble, Bubble(L"QL due")) << "shown once, not again";

    // The program's own: owned by its window rather than over every program,
    // and out of sight while the program is minimised.
    EXPECT_EQ(program, GetWindow(bubble, GW_OWNER));
    EXPECT_EQ(0, GetWindowLongW(bubble, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ShowWindow(program, SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil([] { return Bubble(L"QL due") == nullptr; }));
    ShowWindow(program, SW_RESTORE);
    EXPECT_TRUE(PumpUntil([bubble] { return Bubble(L"QL due") == bubble; }));

    PostMessageW(bubble, WM_COMMAND, MAKEWPARAM(cenotify::ID_BUBBLE_DISMISS, BN_CLICKED), 0);
    EXPECT_TRUE(PumpUntil([] { return Bubble() == nullptr; }));
    EXPECT_TRUE(NotificationHandles().empty());
    DestroyWindow(program);
}

TEST_F(NotifyTest, NotificationThatFellDueWhileNothingRanIsShownAtTheNextStartUntilDismissedOrCleared)
{
    ASSERT_FALSE(cenotify::NotificationHostRunning());
    HANDLE missed = ScheduleDialog(At(2030, 3, 12, 10, 0), L"QL missed", L"missed", PUN_DIALOG);
    ASSERT_NE(nullptr, missed);
    ASSERT_NE(nullptr, ScheduleDialog(At(2030, 3, 20, 10, 0), L"QL later", L"later"));
    const SYSTEMTIME nextDay = At(2030, 3, 13, 8, 0);
    SetDeviceClock(&nextDay);
    const int flashes = cenotify::FlashCount();

    cenotify::StartNotificationHost();
    ASSERT_TRUE(PumpUntil([] { return Bubble(L"QL missed") != nullptr; }));
    LetHostLook();
    EXPECT_EQ(nullptr, Bubble(L"QL later"));
    EXPECT_EQ(flashes, cenotify::FlashCount()) << "no LED asked for";

    // Closed without a Dismiss: the next start shows it again.
    cenotify::StopNotificationHost();
    EXPECT_EQ(nullptr, Bubble());
    EXPECT_EQ(2u, NotificationHandles().size());
    cenotify::StartNotificationHost();
    ASSERT_TRUE(PumpUntil([] { return Bubble(L"QL missed") != nullptr; }));
    // Cleared by a program, a shown notification takes its bubble with it.
    EXPECT_TRUE(CeClearUserNotification(missed));
    EXPECT_TRUE(PumpUntil([] { return Bubble() == nullptr; }));
}

TEST_F(NotifyTest, BubbleShownByAnotherRunningProgramIsLeftToItButAReusedProcessIdIsNot)
{
    // Another program of the device, kept alive (suspended) for the test.
    PROCESS_INFORMATION other = StartHelper(L"add 0 none", CREATE_SUSPENDED);
    ASSERT_NE(nullptr, other.hProcess);
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(GetProcessTimes(other.hProcess, &created, &exited, &kernel, &user));
    const uint64_t otherStart = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

    ASSERT_NE(nullptr, ScheduleDialog(At(2030, 3, 12, 7, 0), L"QL elsewhere", L"text"));
    ASSERT_NE(nullptr, ScheduleDialog(At(2030, 3, 12, 7, 0), L"QL reused", L"text"));
    ASSERT_TRUE(cenotify::UpdateStore([&](cenotify::StoreContents& store) {
        for (cenotify::StoredNotification& item : store.items)
            item.shownBy = other.dwProcessId;
        store.items[0].shownByStart = otherStart;
        store.items[1].shownByStart = otherStart + 1;  // an earlier program that had the same id
        return true;
    }));
    cenotify::StartNotificationHost();
    EXPECT_TRUE(PumpUntil([] { return Bubble(L"QL reused") != nullptr; }));
    LetHostLook();
    EXPECT_EQ(nullptr, Bubble(L"QL elsewhere"));

    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, 10000);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
    EXPECT_TRUE(PumpUntil([] { return Bubble(L"QL elsewhere") != nullptr; })) << "its program ended without a Dismiss";
}

} // namespace
