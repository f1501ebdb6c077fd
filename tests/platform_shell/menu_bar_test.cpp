#include "platform/shell/aygshell.h"
#include "tests/platform_shell/probe_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr UINT TEST_BAR = 200;
constexpr int TEST_BITMAP = 300;

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateProbeWindow();
        ASSERT_NE(nullptr, parent);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        PumpPending();
    }

    BOOL Create()
    {
        SHMENUBARINFO info = {};
        info.cbSize = sizeof info;
        info.hwndParent = parent;
        info.nToolBarId = TEST_BAR;
        info.hInstRes = GetModuleHandleW(nullptr);
        info.nBmpId = TEST_BITMAP;
        info.cBmpImages = 6;
        BOOL created = SHCreateMenuBar(&info);
        bar = info.hwndMB;
        return created;
    }

    HWND Toolbar() const { return FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr); }

    // A pen tap in the middle of the button, as the toolbar receives it.
    void TapButton(WORD command)
    {
        RECT item = {};
        LRESULT index = SendMessageW(bar, TB_COMMANDTOINDEX, command, 0);
        ASSERT_GE(index, 0);
        ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)));
        LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(Toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(Toolbar(), WM_LBUTTONUP, 0, point);
    }

    bool CommandArrived(WORD command)
    {
        const std::vector<WORD>& seen = probe.commands;
        return PumpUntil([&] { return std::find(seen.begin(), seen.end(), command) != seen.end(); }, 3000);
    }

    HWND parent = nullptr;
    HWND bar = nullptr;
};

// Destroys the menu bar while its submenu is open.
HWND barToDestroy;
LRESULT CALLBACK DestroyBarInMenu(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_MENU && barToDestroy) {
        DestroyWindow(barToDestroy);
        barToDestroy = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// A disabled button sends nothing until enabled again; tool tips go to the
// buttons that are not separators; a bar destroyed while its submenu is open
// closes the menu, sends nothing, and a new bar works as before.
TEST_F(MenuBarTest, ButtonsSendWhenEnabledShowTheirTipsAndSurviveADestroyedSubmenu)
{
    ASSERT_TRUE(Create());
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, 601, 0));
    SendMessageW(bar, TB_ENABLEBUTTON, 601, FALSE);
    TapButton(601);
    PumpPending();
    EXPECT_TRUE(probe.commands.empty());

    SendMessageW(bar, TB_ENABLEBUTTON, 601, TRUE);
    TapButton(601);
    EXPECT_TRUE(CommandArrived(601));

    const wchar_t* tips[] = {L"Go", L"One", L"Two", L"Three"};
    EXPECT_TRUE(SendMessageW(bar, TB_SETTOOLTIPS, 4, reinterpret_cast<LPARAM>(tips)));
    auto tipOf = [&](UINT command) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = Toolbar();
        info.hdr.idFrom = command;
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(bar, WM_NOTIFY, command, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"(none)");
    };
    EXPECT_EQ(L"Go", tipOf(500));
    EXPECT_EQ(L"One", tipOf(601));
    EXPECT_EQ(L"Three", tipOf(603));
    EXPECT_EQ(L"", tipOf(4242));

    probe.commands.clear();
    barToDestroy = bar;
    HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, DestroyBarInMenu, nullptr, GetCurrentThreadId());
    TapButton(500);
    EXPECT_TRUE(PumpUntil([] { return barToDestroy == nullptr; }));
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(IsWindow(bar));
    PumpPending();
    EXPECT_TRUE(probe.commands.empty());
    // A new bar works as before.
    ASSERT_TRUE(Create());
    TapButton(603);
    EXPECT_TRUE(CommandArrived(603));
}
