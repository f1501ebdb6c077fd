#include "platform/shell/aygshell.h"
#include "platform/shell/device_screen.h"
#include "platform/shell/sipapi.h"
#include "tests/platform_shell/probe_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

::testing::AssertionResult RectIs(const RECT& rect, int left, int top, int right, int bottom)
{
    if (rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect is (" << rect.left << ", " << rect.top << ", " << rect.right
                                         << ", " << rect.bottom << ")";
}

SIPINFO ReadSip()
{
    SIPINFO sip = {};
    sip.cbSize = sizeof sip;
    EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0));
    return sip;
}

size_t SipChangesSeen()
{
    const std::vector<WPARAM>& changes = probe.settingChanges;
    return std::count(changes.begin(), changes.end(), SPI_SETSIPINFO);
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SipShowIM(SIPF_OFF);
        window = CreateProbeWindow();
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        SipShowIM(SIPF_OFF);
        DestroyWindow(window);
        PumpPending();
    }
    HWND window = nullptr;
};

// ---- Dialogs ------------------------------------------------------------------

// A one-button dialog built in memory. Its procedure initialises it with the
// shell's flags, or moves it itself, and notes where it opens; then it raises
// and lowers the input panel when asked, and ends by the navigation bar's
// Done button when asked.
struct DialogRun {
    DWORD flags = 0;         // none: a dialog as the program makes its own, centred, without an owner
    RECT setInInit = {};     // empty: left where it was put
    bool movePanel = false;
    bool pressDone = false;
    RECT opened = {}, sipUpRect = {}, sipDownRect = {};
};

INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    static DialogRun* run;
    SHACTIVATEINFO activate = {};
    activate.cbSize = sizeof activate;
    switch (message) {
    case WM_INITDIALOG: {
        run = reinterpret_cast<DialogRun*>(lParam);
        SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, run->flags};
        if (run->flags)
            SHInitDialog(&init);
        const RECT& r = run->setInInit;
        if (!IsRectEmpty(&r))
            SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
        PostMessageW(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    case WM_APP: {
        GetWindowRect(dialog, &run->opened);
        if (run->movePanel) {
            SipShowIM(SIPF_ON);
            GetWindowRect(dialog, &run->sipUpRect);
            SipShowIM(SIPF_OFF);
            GetWindowRect(dialog, &run->sipDownRect);
        }
        if (run->pressDone) {
            // A pen tap on the navigation bar's Done button.
            RECT done = ceshell::DoneButtonRect();
            LPARAM point = MAKELPARAM((done.left + done.right) / 2, (done.top + done.bottom) / 2);
            SendMessageW(ceshell::NavigationBar(), WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(ceshell::NavigationBar(), WM_LBUTTONUP, 0, point);
        } else {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(dialog, wParam, lParam, &activate);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunDialog(DialogRun* run)
{
    std::vector<WORD> words(64, 0);  // menu, class and title arrays all empty
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | DS_MODALFRAME | (run->flags ? WS_CAPTION | WS_SYSMENU : DS_CENTER);
    dialog->cx = 100;
    dialog->cy = 60;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog, nullptr, RunDialogProc,
                                   reinterpret_cast<LPARAM>(run));
}

RECT OpenPlacedDialog(RECT setInInit)
{
    DialogRun run{0, setInInit};
    RunDialog(&run);
    return run.opened;
}

RECT messageBoxRect;

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowW(L"#32770", L"Placement");
    if (!box)
        return;
    KillTimer(nullptr, timer);
    GetWindowRect(box, &messageBoxRect);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(ScreenTest, InputPanelUpAndDownAnnouncesItselfMovesTheVisibleAreaAndComesBackOnActivation)
{
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    EXPECT_EQ(1u, SipChangesSeen());
    SIPINFO sip = ReadSip();
    EXPECT_EQ(static_cast<DWORD>(SIPF_ON), sip.fdwFlags & SIPF_ON);
    EXPECT_TRUE(RectIs(sip.rcSipRect, 0, 214, 240, 294));
    EXPECT_TRUE(RectIs(sip.rcVisibleDesktop, 0, 26, 240, 214));
    HWND panel = FindWindowW(ceshell::SIP_CLASS, nullptr);
    ASSERT_NE(nullptr, panel);
    EXPECT_TRUE(IsWindowVisible(panel));

    // Raising it again changes nothing and says nothing.
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    EXPECT_EQ(1u, SipChangesSeen());

    ASSERT_TRUE(SipShowIM(SIPF_OFF));
    EXPECT_EQ(2u, SipChangesSeen());
    sip = ReadSip();
    EXPECT_EQ(0u, sip.fdwFlags & SIPF_ON);
    EXPECT_TRUE(RectIs(sip.rcVisibleDesktop, 0, 26, 240, 320));
    EXPECT_FALSE(IsWindowVisible(panel));

    // Activation gives back the panel as the window left it.
    SHACTIVATEINFO activate = {};
    activate.cbSize = sizeof activate;
    SipShowIM(SIPF_ON);
    SHHandleWMActivate(window, WA_INACTIVE, 0, &activate, 0);
    SipShowIM(SIPF_OFF);   // another program lowered it meanwhile
    SHHandleWMActivate(window, WA_ACTIVE, 0, &activate, 0);
    EXPECT_TRUE(ceshell::SipIsUp());

    // Without a deactivation first, activation leaves the panel alone.
    SipShowIM(SIPF_OFF);
    SHHandleWMActivate(window, WA_ACTIVE, 0, &activate, 0);
    EXPECT_FALSE(ceshell::SipIsUp());
}

// The chrome is the program's: owned by its top window, not over other
// programs, above the program's own windows while it is in front, and out of
// sight while it is minimised.
TEST_F(ScreenTest, ChromeBelongsToTheProgramsTopWindow)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof info;
    info.hwndParent = window;
    info.dwFlags = SHCMBF_EMPTYBAR;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    SipShowIM(SIPF_ON);
    HWND panel = FindWindowW(ceshell::SIP_CLASS, nullptr);
    const HWND chrome[] = {ceshell::NavigationBar(), panel, info.hwndMB};
    for (HWND part : chrome) {
        ASSERT_NE(nullptr, part);
        EXPECT_EQ(window, GetWindow(part, GW_OWNER));
        EXPECT_EQ(0, GetWindowLongW(part, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(IsWindowVisible(part));
    }

    // A full-screen window of the program, activated later, stays below the panel.
    const RECT screen = ceshell::DefaultWindowRect();
    HWND covering = CreateWindowW(L"ProbeWindow", L"Covering", WS_POPUP | WS_VISIBLE, screen.left, screen.top,
                                  screen.right - screen.left, screen.bottom - screen.top, window, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, covering);
    SetForegroundWindow(covering);
    auto above = [](HWND upper, HWND lower) {
        for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
            if (next == lower)
                return true;
        return false;
    };
    EXPECT_TRUE(PumpUntil([&] { return above(panel, covering); }));
    DestroyWindow(covering);

    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(chrome[0]) && !IsWindowVisible(panel); }));
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(chrome[0]) && IsWindowVisible(panel); }));

    // Closing the program takes the chrome with it; the next program's top
    // window gets its own, the panel included since it is still up. With a
    // taskbar docked at the top left the screen starts beside it.
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT docked = {work.left + 30, work.top + 40, work.right, work.bottom};
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &docked, 0));
    DestroyWindow(window);
    EXPECT_EQ(nullptr, ceshell::NavigationBar());
    window = CreateProbeWindow();
    info.hwndParent = window;
    EXPECT_TRUE(SHCreateMenuBar(&info));
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    HWND parts[] = {ceshell::NavigationBar(), FindWindowW(ceshell::SIP_CLASS, nullptr), info.hwndMB, window};
    const RECT expected[] = {{0, 0, 240, 26}, {0, 214, 240, 294}, {0, 294, 240, 320}, {0, 26, 240, 320}};
    for (size_t i = 0; i < ARRAYSIZE(parts); ++i) {
        ASSERT_NE(nullptr, parts[i]);
        RECT rect;
        GetWindowRect(parts[i], &rect);
        OffsetRect(&rect, -docked.left, -docked.top);
        EXPECT_TRUE(RectIs(rect, expected[i].left, expected[i].top, expected[i].right, expected[i].bottom)) << i;
        if (parts[i] != window) {
            EXPECT_EQ(window, GetWindow(parts[i], GW_OWNER)) << i;
        }
    }
    EXPECT_TRUE(IsWindowVisible(parts[1]));
}

// The device shows every dialog and message box on its screen, not in the
// middle of the desktop around it. A full-screen dialog covers the screen
// and ends by Done; a sized one starts above a raised panel. Their
// setting-change handling fits them to the panel.
TEST_F(ScreenTest, DialogsAndMessageBoxesOpenOnTheDeviceScreenAndShellSizedOnesFitThePanel)
{
    const RECT centred = OpenPlacedDialog({});
    const int width = centred.right - centred.left, height = centred.bottom - centred.top;
    ASSERT_LT(width, 240);
    EXPECT_TRUE(RectIs(centred, (240 - width) / 2, 26 + (294 - height) / 2, (240 - width) / 2 + width,
                       26 + (294 - height) / 2 + height));

    messageBoxRect = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseMessageBox);
    MessageBoxW(nullptr, L"Restore the backup copy?", L"Placement", MB_OKCANCEL);
    KillTimer(nullptr, timer);
    ASSERT_FALSE(IsRectEmpty(&messageBoxRect));
    EXPECT_GE(messageBoxRect.left, 0);
    EXPECT_GE(messageBoxRect.top, 26);
    EXPECT_LE(messageBoxRect.right, 240);
    EXPECT_LE(messageBoxRect.bottom, 320);

    // A dialog that puts itself on the screen stays there; one larger than
    // the screen starts at its top left, below the navigation bar.
    EXPECT_TRUE(RectIs(OpenPlacedDialog({20, 60, 180, 160}), 20, 60, 180, 160));
    EXPECT_TRUE(RectIs(OpenPlacedDialog({300, 300, 600, 700}), 0, 26, 300, 426));

    DialogRun full;
    full.flags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN;
    full.movePanel = true;
    full.pressDone = true;
    EXPECT_EQ(IDOK, RunDialog(&full));
    EXPECT_TRUE(RectIs(full.opened, 0, 26, 240, 320));
    EXPECT_TRUE(RectIs(full.sipUpRect, 0, 26, 240, 214));
    EXPECT_TRUE(RectIs(full.sipDownRect, 0, 26, 240, 320));

    SipShowIM(SIPF_ON);
    DialogRun sized;
    sized.flags = SHIDIF_SIZEDLG;
    sized.movePanel = true;
    EXPECT_EQ(IDCANCEL, RunDialog(&sized));
    EXPECT_TRUE(RectIs(sized.opened, 0, 26, 240, 214));
    EXPECT_TRUE(RectIs(sized.sipDownRect, 0, 26, 240, 320));
}
