#include "base/app_handles.h"
#include "views/view_bitmaps.h"
#include "views/list_context_menu.h"
#include "views/list_model.h"
#include "settings/settings.h"
#include "views/view_resources.h"
#include "platform/shell/aygshell.h"
#include "tests/harness/scenario.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A child that records the commands sent to it.
std::vector<std::pair<WPARAM, LPARAM>> childCommands;
LRESULT CALLBACK RecordingChild(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        childCommands.emplace_back(wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateRecordingChild(HWND parent, int id)
{
    WNDCLASSW childClass = {};
    childClass.lpfnWndProc = RecordingChild;
    childClass.hInstance = GetModuleHandleW(nullptr);
    childClass.lpszClassName = L"RecordingChild";
    RegisterClassW(&childClass);   // fails harmlessly once registered
    childCommands.clear();
    return CreateWindowW(L"RecordingChild", L"", WS_CHILD | WS_VISIBLE, 0, 17, 240, 100, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HHOOK menuHook;
int menuUpPresses = -1;
UINT menuKey = VK_UP;
// Picks an item of the open popup by keys: up from the top wraps to the end.
LRESULT CALLBACK ChooseFromMenu(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_MENU && menuUpPresses >= 0) {
        HWND menuWindow = reinterpret_cast<MSG*>(lParam)->hwnd;
        for (int i = 0; i < menuUpPresses; ++i)
            PostMessageW(menuWindow, WM_KEYDOWN, menuKey, 0);
        PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
        menuUpPresses = -1;
    }
    return CallNextHookEx(menuHook, code, wParam, lParam);
}

HWND settingChangeTarget;
int settingChangesSeen;
LRESULT CALLBACK CountSettingChanges(int code, WPARAM wParam, LPARAM lParam)
{
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == settingChangeTarget && sent->message == WM_SETTINGCHANGE &&
        sent->wParam == 0)
        ++settingChangesSeen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// One run of the main window: a hibernation in the background gives up the
// menu bar and it comes back; commands hand the focus to the contacts; the
// notes pane gets its colours and notifications; a context menu's command
// goes to its list; the File menu's Exit ends the program and frees the
// pictures, which live as long as the main window.
TEST(MainWindow, HibernationCommandsNotesPaneContextMenuAndExitEachDoTheirPart)
{
    Scenario scenario;
    HWND window = scenario.Start();
    ASSERT_NE(nullptr, window);
    EXPECT_NE(nullptr, hNoteIcon);
    SetActiveWindow(window);
    ASSERT_EQ(window, GetActiveWindow());

    // In the foreground the menu bar stays.
    HWND bar = hMenuBar;
    SendMessageW(window, WM_HIBERNATE, 0, 0);
    EXPECT_EQ(bar, hMenuBar);
    EXPECT_TRUE(IsWindow(bar));

    HWND other = CreateWindowExW(0, L"STATIC", L"Other program", WS_POPUP | WS_VISIBLE, 0, 26, 240, 294,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    ASSERT_EQ(other, GetActiveWindow());
    SendMessageW(window, WM_HIBERNATE, 0, 0);
    EXPECT_EQ(nullptr, hMenuBar);
    EXPECT_FALSE(IsWindow(bar));

    // The new bar has the New Activity button, disabled without contacts.
    ASSERT_EQ(0, contactCount);
    SetActiveWindow(window);
    ASSERT_TRUE(IsWindow(hMenuBar));
    EXPECT_LE(0, SendMessageW(hMenuBar, TB_COMMANDTOINDEX, IDM_NEW_ACTIVITY, 0));
    EXPECT_FALSE(SendMessageW(hMenuBar, TB_ISBUTTONENABLED, IDM_NEW_ACTIVITY, 0));
    DestroyWindow(other);

    // New Activity lays the panes out again on older shells and focuses the
    // contacts.
    HWND contacts = GetDlgItem(window, ID_CONTACTS_LIST);
    ASSERT_NE(nullptr, contacts);
    HWND elsewhere = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 130, 240, 20, window, nullptr,
                                   nullptr, nullptr);
    settingChangeTarget = window;
    settingChangesSeen = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountSettingChanges, nullptr, GetCurrentThreadId());

    // The activity dialog is closed without saving; on older shells the
    // command alone sends the plain setting change.
    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, IDCANCEL); });
    const int savedGeneration = osGeneration;
    osGeneration = OS_GENERATION_2002;
    SetFocus(elsewhere);
    scenario.Command(IDM_NEW_ACTIVITY);
    EXPECT_EQ(1, settingChangesSeen);
    EXPECT_EQ(contacts, GetFocus());

    osGeneration = OS_GENERATION_2003;
    scenario.Command(IDM_NEW_ACTIVITY);
    EXPECT_EQ(1, settingChangesSeen);
    osGeneration = savedGeneration;

    // Export and Purge hand the focus back to the contacts list as well.
    for (WORD command : {IDM_EXPORT, IDM_PURGE}) {
        SetFocus(elsewhere);
        scenario.Command(command);
        EXPECT_EQ(contacts, GetFocus()) << command;
    }
    UnhookWindowsHookEx(hook);

    // The notes pane gets its colours and its notifications back, with a
    // recording child in the real pane's place.
    DestroyWindow(GetDlgItem(window, ID_NOTES_PANE));
    HWND notes = CreateRecordingChild(window, ID_NOTES_PANE);
    HWND findBox = CreateWindowW(L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FIND_TEXT_BOX)), nullptr, nullptr);

    const COLORREF savedText = settings.notestextcolor;
    HBRUSH savedBrush = hNotesBrush;
    settings.notestextcolor = RGB(10, 20, 30);
    hNotesBrush = CreateSolidBrush(RGB(200, 250, 250));
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkMode(dc, OPAQUE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(hNotesBrush),
              SendMessageW(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(notes)));
    EXPECT_EQ(RGB(10, 20, 30), GetTextColor(dc));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));

    // Other edits get the platform's colours.
    SetBkMode(dc, OPAQUE);
    EXPECT_NE(reinterpret_cast<LRESULT>(hNotesBrush),
              SendMessageW(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(findBox)));
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    DeleteDC(dc);
    DeleteObject(hNotesBrush);
    hNotesBrush = savedBrush;
    settings.notestextcolor = savedText;

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_NOTES_PANE, EN_CHANGE), reinterpret_cast<LPARAM>(notes));
    ASSERT_EQ(1u, childCommands.size());
    EXPECT_EQ(MAKEWPARAM(0, EN_CHANGE), childCommands[0].first);
    EXPECT_EQ(0, childCommands[0].second);

    // A context menu's command goes to the list that opened it.
    HWND list = CreateRecordingChild(window, ID_CONTACTS_LIST);
    menuKey = VK_DOWN;
    menuUpPresses = 2;   // "Delete"
    menuHook = SetWindowsHookExW(WH_MSGFILTER, ChooseFromMenu, nullptr, GetCurrentThreadId());
    ShowListContextMenu(list, {20, 20});
    UnhookWindowsHookEx(menuHook);
    menuKey = VK_UP;
    EXPECT_TRUE(scenario.PumpUntil([] { return !childCommands.empty(); }, 3000));
    ASSERT_EQ(1u, childCommands.size());
    EXPECT_EQ(40034u, LOWORD(childCommands[0].first));

    HBITMAP band = hHeaderBandBitmap;
    RECT file = {};
    SendMessageW(hMenuBar, TB_GETITEMRECT, SendMessageW(hMenuBar, TB_COMMANDTOINDEX, 40013, 0),
                 reinterpret_cast<LPARAM>(&file));
    menuUpPresses = 1;   // the last item, "Exit"
    menuHook = SetWindowsHookExW(WH_MSGFILTER, ChooseFromMenu, nullptr, GetCurrentThreadId());
    scenario.Tap(FindWindowExW(hMenuBar, nullptr, TOOLBARCLASSNAMEW, nullptr), (file.left + file.right) / 2,
                 (file.top + file.bottom) / 2);
    const bool ended = scenario.PumpUntil([&] { return !scenario.Running(); });
    UnhookWindowsHookEx(menuHook);
    EXPECT_TRUE(ended);
    EXPECT_EQ(nullptr, hMenuBar);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(nullptr, hHeaderBandBitmap);
    EXPECT_EQ(nullptr, hNoteIcon);
    BITMAP gone;
    EXPECT_EQ(0, GetObjectW(band, sizeof gone, &gone));
}

TEST(Startup, KeyboardFlagNeedsHasKeyboardToReadExactlyOneAndWithoutItAsksThePC)
{
    struct Case {
        bool present;
        DWORD type;
        DWORD value;
        int expected;
    };
    const Case cases[] = {
        {false, REG_DWORD, 0, 1},   // the test machine has a keyboard
        {true, REG_DWORD, 1, 1},
        {true, REG_DWORD, 2, 0},
        {true, REG_SZ, 1, 0},
    };
    for (const Case& c : cases) {
        Scenario scenario;
        const wchar_t* shell = L"SOFTWARE\\Microsoft\\Shell";
        RegDeleteKeyValueW(HKEY_CURRENT_USER, shell, L"HasKeyboard");
        if (c.present) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetKeyValueW(HKEY_CURRENT_USER, shell, L"HasKeyboard", c.type, &c.value, sizeof c.value));
        }
        ASSERT_NE(nullptr, scenario.Start());
        EXPECT_EQ(c.expected, hasKeyboard) << "present " << c.present << " type " << c.type << " value " << c.value;
        EXPECT_EQ(0, scenario.Close());
    }
}
