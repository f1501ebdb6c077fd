#include "tests/sheet/sheet_fixture.h"

#include "resources/resource.h"

#include <commctrl.h>

void SheetTest::OnPage(PageIndex index, const std::function<void(HWND, HWND)>& use, int close,
                       std::vector<int> answers)
{
    bool seen = false;
    size_t next = 0;
    scenario->AnswerDialogs([&](HWND window) {
        if (PropSheet_GetCurrentPageHwnd(window)) {
            if (seen)
                return;
            seen = true;
            use(window, TurnTo(window, index));
            Scenario::PressButton(window, close);
        } else if (answerOthers) {
            answerOthers(window);
        } else {
            Scenario::PressButton(window, next < answers.size() ? answers[next++] : IDOK);
        }
    });
    scenario->Command(IDM_SETTINGS);
    scenario->AnswerDialogs(nullptr);
    EXPECT_TRUE(seen) << "the sheet never came up";
}

HWND SheetTest::TurnTo(HWND sheet, PageIndex index)
{
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

void SheetTest::PickPreset(int preset)
{
    answerOthers = [preset](HWND selector) {
        Click(selector, preset);
        Scenario::PressButton(selector, IDC_COLOUR_OK);
    };
}

void SheetTest::Click(HWND page, int id)
{
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// Arrow keys until the item is chosen, or the list stops moving (the page
// may have put the choice back).
static void StepTo(HWND combo, int item)
{
    for (LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0); at != item;) {
        Scenario::Key(combo, at < item ? VK_DOWN : VK_UP);
        const LRESULT moved = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (moved == at)
            return;
        at = moved;
    }
}

void SheetTest::Choose(HWND page, int id, int item)
{
    HWND combo = GetDlgItem(page, id);
    SetFocus(combo);
    StepTo(combo, item);
}

void SheetTest::ChooseInOpenList(HWND page, int id, int item, const std::function<void()>& whileOpen)
{
    HWND combo = GetDlgItem(page, id);
    SetFocus(combo);
    Scenario::Key(combo, VK_F4);
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the list opens";
    StepTo(combo, item);
    if (whileOpen)
        whileOpen();
    Scenario::Key(combo, VK_RETURN);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the list closes";
}

std::vector<int> SheetTest::Selected(HWND list)
{
    std::vector<int> items(64);
    const LRESULT count = SendMessageW(list, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
    items.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return items;
}

void SheetTest::Select(HWND list, const std::vector<int>& items)
{
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int item : items)
        SendMessageW(list, LB_SETSEL, TRUE, item);
}

COLORREF SheetTest::BrushColour(HBRUSH brush)
{
    LOGBRUSH shape = {};
    GetObjectW(brush, sizeof shape, &shape);
    return shape.lbColor;
}
