#include "base/dispatch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> calls;

LRESULT First(HWND, UINT, WPARAM, LPARAM) { calls.push_back(1); return 11; }
LRESULT Second(HWND, UINT, WPARAM, LPARAM) { calls.push_back(2); return 22; }

LRESULT CommandA(HWND, WORD id, HWND, WORD code)
{
    calls.push_back(id * 10 + code);
    return 1;
}

const MessageRow rows[] = {
    {WM_USER + 1, First},
    {WM_USER + 2, Second},
    {WM_USER + 1, Second},   // never reached: the first matching row wins
};

const CommandRow commands[] = {
    {7, CommandA},
};

} // namespace

TEST(MessageTable, CallsTheFirstMatchingRowInTableOrder)
{
    calls.clear();
    EXPECT_EQ(11, DispatchMessageRows(rows, 3, nullptr, WM_USER + 1, 0, 0));
    EXPECT_EQ(22, DispatchMessageRows(rows, 3, nullptr, WM_USER + 2, 0, 0));
    EXPECT_EQ((std::vector<int>{1, 2}), calls);
}

TEST(MessageTable, UnlistedMessageReachesDefWindowProc)
{
    HWND window = CreateWindowW(L"STATIC", L"plain", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    wchar_t text[16] = {};
    // WM_GETTEXT is answered by DefWindowProcW with the window's title.
    LRESULT length = DispatchMessageRows(rows, 3, window, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(5, length);
    EXPECT_STREQ(L"plain", text);
    DestroyWindow(window);
}

TEST(CommandTable, PassesIdAndNotificationCodeAndReportsUnlistedIds)
{
    calls.clear();
    bool handled = false;
    EXPECT_EQ(1, DispatchCommandRows(commands, 1, nullptr, MAKEWPARAM(7, 3), 0, &handled));
    EXPECT_TRUE(handled);
    EXPECT_EQ((std::vector<int>{73}), calls);
    EXPECT_EQ(0, DispatchCommandRows(commands, 1, nullptr, MAKEWPARAM(8, 0), 0, &handled));
    EXPECT_FALSE(handled);
}

TEST(ProfileCommands, RangeRunsFromAllToTheLastProfile)
{
    // No profiles: only "All".
    EXPECT_TRUE(IsProfileCommand(60000, 0));
    EXPECT_FALSE(IsProfileCommand(60001, 0));
    EXPECT_FALSE(IsProfileCommand(59999, 0));
    // n profiles: 60000 + n is the last one, one more is nothing.
    EXPECT_TRUE(IsProfileCommand(60003, 3));
    EXPECT_FALSE(IsProfileCommand(60004, 3));
    EXPECT_FALSE(IsProfileCommand(40052, 3));
    EXPECT_TRUE(IsProfileCommand(65535, 5535));
    EXPECT_FALSE(IsProfileCommand(60000, -1));
}
