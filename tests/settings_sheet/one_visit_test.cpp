#include "tests/settings_sheet/sheet_fixture.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "views/view_resources.h"

#include <commctrl.h>

namespace {

using OneVisitTest = SheetTest;

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH shape = {};
    GetObjectW(brush, sizeof shape, &shape);
    return shape.lbColor;
}

} // namespace

// A column, a row colour and a label changed in one visit show together at
// once, and again after a restart.
TEST_F(OneVisitTest, ColumnColourAndLabelTakeEffectTogether)
{
    AddContact(L"Ames", L"Acme");
    ASSERT_NE(nullptr, Start());
    answerOthers = [](HWND selector) {
        SendMessageW(selector, WM_COMMAND, MAKEWPARAM(1107, STN_CLICKED), 0);
        Scenario::PressButton(selector, IDC_COLOUR_OK);
    };
    OnPage(DISPLAY, [&](HWND sheet, HWND page) {
        SendDlgItemMessageW(page, IDC_DISPLAY_CONTACT_FIELDS, LB_SETSEL, TRUE, 3);
        HWND colours = TurnTo(sheet, COLOR);
        Choose(colours, IDC_COLOR_SECTION, 1);
        SendMessageW(colours, WM_COMMAND, MAKEWPARAM(IDC_COLOR_LV2_ROW1, STN_CLICKED), 0);
        HWND labels = TurnTo(sheet, LABELS);
        SendDlgItemMessageW(labels, IDC_LABELS_LIST, LB_SETCURSEL, 4, 0);
        SendMessageW(labels, WM_COMMAND, MAKEWPARAM(IDC_LABELS_LIST, LBN_SELCHANGE), 0);
        SetDlgItemTextW(labels, IDC_LABELS_EDIT, L"Organisation");
        Click(labels, IDC_LABELS_RENAME);
    });
    const std::vector<std::wstring> expected = {L"FileAs", L"Title", L"Organisation", L"Last Date", L"Next Date"};
    EXPECT_EQ(expected, Headers(Contacts()));
    EXPECT_EQ(0x0000FFu, BrushColour(hLv2Row1Brush));

    EXPECT_EQ(0, scenario->Close());
    ASSERT_NE(nullptr, Start());
    EXPECT_EQ(expected, Headers(Contacts()));
    EXPECT_EQ(0x0000FFu, lv2r1color);
    EXPECT_EQ(0x0000FFu, BrushColour(hLv2Row1Brush));
    EXPECT_EQ(L"Acme", Cell(Contacts(), 0, 2));
}
