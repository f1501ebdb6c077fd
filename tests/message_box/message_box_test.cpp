#include "resources/message_box_ids.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "base/message_box.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

// How the box looked when it came up.
struct Seen {
    bool secondVisible = false, checkVisible = false;
    std::wstring title, text, first, second;
    RECT dialog = {}, label = {}, firstButton = {}, secondButton = {}, check = {};
    int defaultId = 0;     // the dialog's default button
    int drawnDefault = 0;  // the button drawn as the default
    bool cornerCut = false;
    HWND owner = nullptr;
    WindowImage face;
};

RECT ChildRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Shows(HWND dialog, int id)
{
    return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

Seen Look(Scenario& scenario, HWND dialog)
{
    Seen seen;
    seen.title = WindowText(dialog);
    seen.owner = GetWindow(dialog, GW_OWNER);
    seen.text = ItemText(dialog, IDC_MESSAGE_BOX_TEXT);
    seen.first = ItemText(dialog, IDC_MESSAGE_BOX_FIRST);
    seen.second = ItemText(dialog, IDC_MESSAGE_BOX_SECOND);
    seen.secondVisible = Shows(dialog, IDC_MESSAGE_BOX_SECOND);
    seen.checkVisible = Shows(dialog, IDC_MESSAGE_BOX_DONTSHOW);
    GetClientRect(dialog, &seen.dialog);
    seen.label = ChildRect(dialog, IDC_MESSAGE_BOX_TEXT);
    seen.firstButton = ChildRect(dialog, IDC_MESSAGE_BOX_FIRST);
    seen.secondButton = ChildRect(dialog, IDC_MESSAGE_BOX_SECOND);
    seen.check = ChildRect(dialog, IDC_MESSAGE_BOX_DONTSHOW);
    const LRESULT id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    seen.defaultId = HIWORD(id) == DC_HASDEFID ? LOWORD(id) : 0;
    for (int button : {IDC_MESSAGE_BOX_FIRST, IDC_MESSAGE_BOX_SECOND})
        if ((GetWindowLongPtrW(GetDlgItem(dialog, button), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
            seen.drawnDefault = button;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(dialog, region) != ERROR)
        seen.cornerCut = !PtInRegion(region, 0, 0) && PtInRegion(region, 5, 0) && PtInRegion(region, 10, 10);
    DeleteObject(region);
    seen.face = scenario.SettledCapture(dialog);
    return seen;
}

// Opens a box whose answer is given by act once it is up; returns its result.
int Show(Scenario& scenario, const wchar_t* text, const wchar_t* title, UINT style, Seen* seen,
         const std::function<void(HWND)>& act, int* checkState = nullptr, HWND owner = nullptr)
{
    int answered = 0;
    scenario.AnswerDialogs([&](HWND dialog) {
        if (answered++)
            return;
        *seen = Look(scenario, dialog);
        act(dialog);
    });
    const int result = AppMessageBox(owner, text, title, style, checkState);
    scenario.AnswerDialogs(nullptr);
    EXPECT_EQ(1, answered);
    return result;
}

std::function<void(HWND)> Press(int id)
{
    return [id](HWND dialog) { Scenario::PressButton(dialog, id); };
}

std::function<void(HWND)> Key(UINT key)
{
    return [key](HWND dialog) { PostMessageW(dialog, WM_KEYDOWN, key, 0); };
}

// Every style: the labels of its buttons, which one is the default, what
// each way of answering returns, and its face: cut corners, white inside
// and the 2-pixel outline along the bottom.
TEST(MessageBox, EachStyleLabelsItsButtonsAndAnswers)
{
    const int FIRST = IDC_MESSAGE_BOX_FIRST, SECOND = IDC_MESSAGE_BOX_SECOND;
    struct Case {
        UINT style;
        const wchar_t *first, *second;   // no second: one button
        int defaultId;
        std::function<void(HWND)> act;
        int result;
    };
    const auto unknownThenCancel = [](HWND dialog) {
        Scenario::PressButton(dialog, 4242);   // ignored
        Scenario::PressButton(dialog, IDCANCEL);
    };
    const Case cases[] = {
        {0, L"OK", nullptr, FIRST, Press(FIRST), 1},
        {0, L"OK", nullptr, FIRST, Key(VK_ESCAPE), 2},   // Escape cancels even one button
        {0x2, L"OK", nullptr, FIRST, Press(IDOK), 1},
        {0x30, L"OK", nullptr, FIRST, Press(IDOK), 1},
        {0x31, L"OK", L"Cancel", FIRST, Press(SECOND), 2},
        {0x1, L"OK", L"Cancel", FIRST, unknownThenCancel, 2},
        {0x34, L"Yes", L"No", FIRST, Key(VK_RETURN), 1},
        {0x134, L"Yes", L"No", SECOND, Key(VK_RETURN), 2},
    };
    Scenario scenario;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style << std::dec << " answered by case "
                                        << (&c - cases));
        Seen seen;
        EXPECT_EQ(c.result, Show(scenario, L"Delete the activity?", L"Vantaro", c.style, &seen, c.act));
        EXPECT_EQ(c.first, seen.first);
        EXPECT_EQ(c.second != nullptr, seen.secondVisible);
        EXPECT_EQ((c.style & 0x2) != 0, seen.checkVisible);
        if (c.second) {
            EXPECT_EQ(c.second, seen.second);
            EXPECT_EQ(seen.firstButton.top, seen.secondButton.top);
            EXPECT_LT(seen.firstButton.right, seen.secondButton.left);
        } else {
            EXPECT_LE(std::abs(seen.firstButton.left - (seen.dialog.right - seen.firstButton.right)), 1)
                << "one button stands in the middle";
        }
        EXPECT_EQ(c.defaultId, seen.defaultId);
        EXPECT_EQ(c.defaultId, seen.drawnDefault);
        EXPECT_TRUE(seen.cornerCut);
        const WindowImage& face = seen.face;
        ASSERT_GT(face.height, 10);
        EXPECT_TRUE(face.At(face.width / 2, face.height - 2) == 0 || face.At(face.width / 2, face.height - 1) == 0)
            << "black outline along the bottom";
        EXPECT_EQ(RGB(255, 255, 255), face.At(8, face.height / 2));
    }
}

// Text and title are cut to 199 and 99 characters.
TEST(MessageBox, LongTextGrowsTheBoxAboveTheButtonsAndTheCheckBoxBelowThemSetsTheCallersFlag)
{
    Scenario scenario;
    Seen shortBox, longBox, warning;
    Show(scenario, L"Hi", L"T", 0, &shortBox, Press(IDOK));
    std::wstring words;
    while (words.size() < 190)
        words += L"activity ";
    Show(scenario, words.c_str(), L"T", 0x31, &longBox, Press(IDOK));
    const int growth = (longBox.label.bottom - longBox.label.top) - (shortBox.label.bottom - shortBox.label.top);
    EXPECT_GT(growth, 0);
    EXPECT_EQ(shortBox.firstButton.top + growth, longBox.firstButton.top);
    EXPECT_EQ(shortBox.dialog.bottom + growth, longBox.dialog.bottom);
    EXPECT_GE(longBox.firstButton.top, longBox.label.bottom);

    // The warning picture takes room from the text.
    Show(scenario, L"Hi", L"T", 0x30, &warning, Press(IDOK));
    EXPECT_LT(warning.label.right - warning.label.left, shortBox.label.right - shortBox.label.left);

    const std::wstring text(250, L't'), title(150, L'h');
    Seen seen;
    Show(scenario, text.c_str(), title.c_str(), 0, &seen, Press(IDOK));
    EXPECT_EQ(std::wstring(199, L't'), seen.text);
    EXPECT_EQ(std::wstring(99, L'h'), seen.title);
    Show(scenario, nullptr, nullptr, 0, &seen, Press(IDOK));
    EXPECT_EQ(L"", seen.text);

    // The check box sits below the buttons; its state goes to the caller's
    // flag, in memory only.
    CreateSettingsKey();
    for (int tick : {1, 0}) {
        settings.messageboxcheckflag = 1 - tick;
        auto act = [tick](HWND dialog) {
            CheckDlgButton(dialog, IDC_MESSAGE_BOX_DONTSHOW, tick ? BST_CHECKED : BST_UNCHECKED);
            Scenario::PressButton(dialog, IDC_MESSAGE_BOX_SECOND);
        };
        EXPECT_EQ(2, Show(scenario, L"Orphans removed.", L"Info", 0x33, &seen, act, &settings.messageboxcheckflag));
        EXPECT_EQ(tick, settings.messageboxcheckflag);
        EXPECT_GT(seen.check.top, seen.firstButton.bottom);
        EXPECT_LE(seen.check.bottom, seen.dialog.bottom);
    }
    int stored = -1;
    EXPECT_EQ(1, RegReadDword(L"messageboxcheckflag", &stored));

    // Without the style bit the flag is left alone.
    settings.messageboxcheckflag = 1;
    Show(scenario, L"x", L"y", 0, &seen, Press(IDOK), &settings.messageboxcheckflag);
    EXPECT_EQ(1, settings.messageboxcheckflag);
}

TEST(MessageBox, OwnedByTheMainWindowDuringARun)
{
    Scenario scenario;
    HWND main = scenario.Start();
    ASSERT_NE(nullptr, main);
    Seen seen;
    EXPECT_EQ(2, Show(scenario, L"Could not connect.", L"Error", 0x31, &seen, Press(IDC_MESSAGE_BOX_SECOND), nullptr,
                      main));
    EXPECT_EQ(main, seen.owner);
    EXPECT_EQ(0, scenario.Close());
}

}  // namespace
