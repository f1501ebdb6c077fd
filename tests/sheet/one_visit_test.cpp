#include "tests/sheet/sheet_fixture.h"

#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "views/view_resources.h"

#include <commctrl.h>

using OneVisitTest = SheetTest;

// The sheet covers the device screen below the navigation bar, its tabs
// along the bottom and every visible control of a page above them; the
// pages that take text keep that with the input panel up. A column, a row
// colour and a label changed in one visit show together at once, and again
// after a restart.
TEST_F(OneVisitTest, EveryPageFitsTheScreenAndChangesOfOneVisitTakeEffectTogether)
{
    AddContact(L"Ames", L"Acme");
    ASSERT_NE(nullptr, Start());
    OnPage(DISPLAY, [&](HWND sheet, HWND) {
        for (int index = DISPLAY; index <= OTHER; ++index) {
            const bool panel = index == DESCRIPTOR || index == LABELS;
            for (bool up : panel ? std::vector<bool>{false, true} : std::vector<bool>{false}) {
                HWND page = TurnTo(sheet, static_cast<PageIndex>(index));
                SipShowIM(up ? SIPF_ON : SIPF_OFF);
                RECT screen;
                GetWindowRect(sheet, &screen);
                const RECT expected = {0, 26, 240, up ? 214 : 320};
                EXPECT_TRUE(EqualRect(&expected, &screen)) << index << ": " << screen.left << ", " << screen.top
                                                           << " to " << screen.right << ", " << screen.bottom;
                HWND tabs = PropSheet_GetTabControl(sheet);
                EXPECT_TRUE(GetWindowLongW(tabs, GWL_STYLE) & TCS_BOTTOM);
                RECT tab;
                TabCtrl_GetItemRect(tabs, TabCtrl_GetCurSel(tabs), &tab);
                MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
                EXPECT_GE(tab.top, screen.bottom - 30) << "tabs at the bottom";
                for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    if (!IsWindowVisible(child))
                        continue;
                    RECT control;
                    GetWindowRect(child, &control);
                    EXPECT_GE(control.left, 0) << index << " " << GetDlgCtrlID(child);
                    EXPECT_LE(control.right, 240) << index << " " << GetDlgCtrlID(child);
                    EXPECT_LE(control.bottom, tab.top) << index << " " << GetDlgCtrlID(child) << (up ? " panel up" : "");
                }
            }
        }
        SipShowIM(SIPF_OFF);
    }, IDCANCEL);

    PickPreset(1107);
    OnPage(DISPLAY, [&](HWND sheet, HWND page) {
        SendDlgItemMessageW(page, IDC_DISPLAY_CONTACT_FIELDS, LB_SETSEL, TRUE, 3);
        HWND colours = TurnTo(sheet, COLOR);
        Choose(colours, IDC_COLOR_SECTION, 1);
        Click(colours, IDC_COLOR_LV2_ROW1);
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
    EXPECT_EQ(0x0000FFu, BrushColour(hLv2Row1Brush));
    EXPECT_EQ(L"Acme", Cell(Contacts(), 0, 2));
}
