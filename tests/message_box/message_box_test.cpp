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
    int defaultId = 0;
    bool firstIsDefault = false, secondIsDefault = false;
    bool cornerCut = false;
};

RECT ChildRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Seen Look(HWND dialog)
{
    Seen seen;
    seen.title = WindowText(dialog);
    seen.text = ItemText(dialog, IDC_MESSAGE_BOX_TEXT);
    seen.first = ItemText(dialog, IDC_MESSAGE_BOX_FIRST);
    seen.second = ItemText(dialog, IDC_MESSAGE_BOX_SECOND);
    seen.secondVisible = (GetWindowLongPtrW(GetDlgItem(dialog, IDC_MESSAGE_BOX_SECOND), GWL_STYLE) & WS_VISIBLE) != 0;
    seen.checkVisible = (GetWindowLongPtrW(GetDlgItem(dialog, IDC_MESSAGE_BOX_DONTSHOW), GWL_STYLE) & WS_VISIBLE) != 0;
    GetClientRect(dialog, &seen.dialog);
    seen.label = ChildRect(dialog, IDC_MESSAGE_BOX_TEXT);
    seen.firstButton = ChildRect(dialog, IDC_MESSAGE_BOX_FIRST);
    seen.secondButton = ChildRect(dialog, IDC_MESSAGE_BOX_SECOND);
    seen.check = ChildRect(dialog, IDC_MESSAGE_BOX_DONTSHOW);
    LRESULT id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    seen.defaultId = HIWORD(id) == DC_HASDEFID ? LOWORD(id) : 0;
    auto isDefault = [&](int control) {
        return (GetWindowLongPtrW(GetDlgItem(dialog, control), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
    };
    seen.firstIsDefault = isDefault(IDC_MESSAGE_BOX_FIRST);
    seen.secondIsDefault = isDefault(IDC_MESSAGE_BOX_SECOND);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(dialog, region) != ERROR)
        seen.cornerCut = !PtInRegion(region, 0, 0) && PtInRegion(region, 5, 0) && PtInRegion(region, 10, 10);
    DeleteObject(region);
    return seen;
}

// Opens a box whose answer is given by act once it is up; returns its result.
int Show(Scenario& scenario, const wchar_t* text, const wchar_t* title, UINT style, Seen* seen,
         const std::function<void(HWND)>& act, int* checkState = nullptr)
{
    int answered = 0;
    scenario.AnswerDialogs([&](HWND dialog) {
        if (answered++)
            return;
        *seen = Look(dialog);
        act(dialog);
    });
    const int result = AppMessageBox(nullptr, text, title, style, checkState);
    scenario.AnswerDialogs(nullptr);
    EXPECT_EQ(1, answered);
    return result;
}

auto Press(int id)
{
    return [id](HWND dialog) { Scenario::PressButton(dialog, id); };
}

int Width(const RECT& r) { return r.right - r.left; }

TEST(MessageBox, PlainStyleHasOneCentredOkThatReturns1)
{
    Scenario scenario;
    Seen seen;
    EXPECT_EQ(1, Show(scenario, L"Saved.", L"Vantaro", 0, &seen, Press(IDC_MESSAGE_BOX_FIRST)));
    EXPECT_EQ(L"Vantaro", seen.title);
    EXPECT_EQ(L"Saved.", seen.text);
    EXPECT_EQ(L"OK", seen.first);
    EXPECT_FALSE(seen.secondVisible);
    EXPECT_FALSE(seen.checkVisible);
    EXPECT_EQ(IDC_MESSAGE_BOX_FIRST, seen.defaultId);
    EXPECT_TRUE(seen.firstIsDefault);
    EXPECT_LE(std::abs(seen.firstButton.left - (seen.dialog.right - seen.firstButton.right)), 1);
    EXPECT_TRUE(seen.cornerCut);
}

TEST(MessageBox, TwoButtonStylesLabelAndAnswer)
{
    Scenario scenario;
    struct Case {
        UINT style;
        const wchar_t *first, *second;
        int press, result;
    };
    const Case cases[] = {
        {0x31, L"OK", L"Cancel", IDC_MESSAGE_BOX_FIRST, 1},
        {0x31, L"OK", L"Cancel", IDC_MESSAGE_BOX_SECOND, 2},
        {0x34, L"Yes", L"No", IDC_MESSAGE_BOX_FIRST, 1},
        {0x34, L"Yes", L"No", IDC_MESSAGE_BOX_SECOND, 2},
        {0x34, L"Yes", L"No", IDOK, 1},
        {0x31, L"OK", L"Cancel", IDCANCEL, 2},
        {0x1, L"OK", L"Cancel", 4242, 2},   // an unknown id is ignored; then Cancel below
    };
    for (const Case& c : cases) {
        Seen seen;
        auto act = [&](HWND dialog) {
            Scenario::PressButton(dialog, c.press);
            if (c.press == 4242)
                Scenario::PressButton(dialog, IDCANCEL);
        };
        EXPECT_EQ(c.result, Show(scenario, L"Delete this activity?", L"Confirm", c.style, &seen, act)) << c.style;
        EXPECT_TRUE(seen.secondVisible);
        EXPECT_EQ(c.first, seen.first);
        EXPECT_EQ(c.second, seen.second);
        EXPECT_EQ(IDC_MESSAGE_BOX_FIRST, seen.defaultId);
        EXPECT_EQ(seen.firstButton.top, seen.secondButton.top);
        EXPECT_LT(seen.firstButton.right, seen.secondButton.left);
    }
}

TEST(MessageBox, SecondDefaultAnswersEnterWith2)
{
    Scenario scenario;
    Seen seen;
    auto enter = [](HWND dialog) { PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0); };
    EXPECT_EQ(2, Show(scenario, L"Purge all activities?", L"Purge", 0x134, &seen, enter));
    EXPECT_EQ(IDC_MESSAGE_BOX_SECOND, seen.defaultId);
    EXPECT_TRUE(seen.secondIsDefault);
    EXPECT_FALSE(seen.firstIsDefault);

    // Without 0x100 Enter confirms, and Escape cancels even a one-button box.
    EXPECT_EQ(1, Show(scenario, L"Purge all activities?", L"Purge", 0x34, &seen, enter));
    auto escape = [](HWND dialog) { PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0); };
    EXPECT_EQ(2, Show(scenario, L"Done.", L"Purge", 0, &seen, escape));
}

TEST(MessageBox, LongTextGrowsTheBoxAndKeepsTheButtonsBelowIt)
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
    EXPECT_EQ(longBox.firstButton.top, longBox.secondButton.top);
    EXPECT_EQ(shortBox.dialog.bottom + growth, longBox.dialog.bottom);
    EXPECT_GE(longBox.firstButton.top, longBox.label.bottom);

    // The warning picture takes room from the text.
    Show(scenario, L"Hi", L"T", 0x30, &warning, Press(IDOK));
    EXPECT_LT(Width(warning.label), Width(shortBox.label));
}

TEST(MessageBox, TextAndTitleAreCutTo199And99)
{
    Scenario scenario;
    const std::wstring text(250, L't'), title(150, L'h');
    Seen seen;
    Show(scenario, text.c_str(), title.c_str(), 0, &seen, Press(IDOK));
    EXPECT_EQ(std::wstring(199, L't'), seen.text);
    EXPECT_EQ(std::wstring(99, L'h'), seen.title);

    Show(scenario, nullptr, nullptr, 0, &seen, Press(IDOK));
    EXPECT_EQ(L"", seen.text);
}

TEST(MessageBox, CheckBoxStateGoesToTheCallersFlagInMemoryOnly)
{
    Scenario scenario;
    CreateSettingsKey();
    for (int tick : {1, 0}) {
        Seen seen;
        settings.messageboxcheckflag = 1 - tick;
        auto act = [tick](HWND dialog) {
            CheckDlgButton(dialog, IDC_MESSAGE_BOX_DONTSHOW, tick ? BST_CHECKED : BST_UNCHECKED);
            Scenario::PressButton(dialog, IDC_MESSAGE_BOX_SECOND);
        };
        EXPECT_EQ(2, Show(scenario, L"Orphans removed.", L"Info", 0x33, &seen, act, &settings.messageboxcheckflag));
        EXPECT_EQ(tick, settings.messageboxcheckflag);
        EXPECT_TRUE(seen.checkVisible);
        EXPECT_GT(seen.check.top, seen.firstButton.bottom);
        EXPECT_LE(seen.check.bottom, seen.dialog.bottom);
    }
    int stored = -1;
    EXPECT_EQ(1, RegReadDword(L"messageboxcheckflag", &stored));

    // Without the style bit the flag is left alone.
    settings.messageboxcheckflag = 1;
    Seen seen;
    Show(scenario, L"x", L"y", 0, &seen, Press(IDOK), &settings.messageboxcheckflag);
    EXPECT_EQ(1, settings.messageboxcheckflag);
}

TEST(MessageBox, OwnedByTheMainWindowDuringARun)
{
    Scenario scenario;
    HWND main = scenario.Start();
    ASSERT_NE(nullptr, main);
    HWND seenOwner = nullptr;
    scenario.AnswerDialogs([&](HWND dialog) {
        seenOwner = GetWindow(dialog, GW_OWNER);
        Scenario::PressButton(dialog, IDC_MESSAGE_BOX_SECOND);
    });
    EXPECT_EQ(2, AppMessageBox(main, L"Could not connect.", L"Error", 0x31));
    EXPECT_EQ(main, seenOwner);
    ASSERT_FALSE(scenario.Dialogs().empty());
    EXPECT_EQ(L"Error", scenario.Dialogs().back().title);
    scenario.AnswerDialogs(nullptr);
    EXPECT_EQ(0, scenario.Close());
}

// Each style once painted: the 2-pixel outline along its bottom and a white
// face. A picture of each is kept when a folder for them is named.
TEST(MessageBox, EachStyleIsDrawnWithItsOutline)
{
    wchar_t folder[MAX_PATH] = {};
    const bool keep = GetEnvironmentVariableW(L"VANTARO_SCREENSHOTS", folder, MAX_PATH) > 0;
    Scenario scenario;
    for (UINT style : {0x0u, 0x30u, 0x31u, 0x34u, 0x134u, 0x2u}) {
        WindowImage shown;
        scenario.AnswerDialogs([&](HWND dialog) {
            shown = scenario.SettledCapture(dialog);
            if (keep)
                Scenario::SaveWindowImage(dialog, std::wstring(folder) + L"\\message_box_" + std::to_wstring(style) +
                                                      L".bmp");
            Scenario::PressButton(dialog, IDOK);
        });
        const wchar_t* text = style == 0x2 ? L"The export file was written to the documents folder."
                                           : L"Do you really want to delete the selected activity and its reminder?";
        EXPECT_EQ(1, AppMessageBox(nullptr, text, L"Vantaro", style));
        ASSERT_GT(shown.height, 10) << style;
        const int midX = shown.width / 2;
        EXPECT_TRUE(shown.At(midX, shown.height - 2) == RGB(0, 0, 0) || shown.At(midX, shown.height - 1) == RGB(0, 0, 0))
            << style;
        EXPECT_EQ(RGB(255, 255, 255), shown.At(8, shown.height / 2)) << style;
    }
}

}  // namespace
