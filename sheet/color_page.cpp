#include "sheet/color_page.h"

#include "base/list_controls.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sheet/colour_selector.h"
#include "sheet/sheet_page.h"
#include "views/list_model.h"
#include "views/view_resources.h"

#include <commctrl.h>
#include <initializer_list>

namespace {

struct Swatch {
    int id;
    COLORREF Settings::*setting;
};

// In the order the colours are written.
const Swatch SWATCHES[] = {
    {IDC_COLOR_LV1_ROW1, &Settings::lv1r1color},
    {IDC_COLOR_LV1_ROW2, &Settings::lv1r2color},
    {IDC_COLOR_LV2_ROW1, &Settings::lv2r1color},
    {IDC_COLOR_LV2_ROW2, &Settings::lv2r2color},
    {IDC_COLOR_NOTES_BACKGROUND, &Settings::notesbkgcolor},
    {IDC_COLOR_LV1_TEXT, &Settings::lv1textcolor},
    {IDC_COLOR_LV2_TEXT, &Settings::lv2textcolor},
    {IDC_COLOR_NOTES_TEXT, &Settings::notestextcolor},
    {IDC_COLOR_LV1_LINES, &Settings::lv1linecolor},
    {IDC_COLOR_LV2_LINES, &Settings::lv2linecolor},
    {IDC_COLOR_LV1_PAST_DUE, &Settings::lv1pastduecolor},
    {IDC_COLOR_LV2_PAST_DUE, &Settings::lv2pastduecolor},
    {IDC_COLOR_POPUP_BACKGROUND, &Settings::popupbkgcolor},
    {IDC_COLOR_POPUP_TEXT, &Settings::popuptextcolor},
    {IDC_COLOR_POPUP_CONTROLS, &Settings::popupcontrolcolor},
    {IDC_COLOR_LV1_DONE, &Settings::lv1donecolor},
    {IDC_COLOR_LV2_DONE, &Settings::lv2donecolor},
};
constexpr int SWATCH_COUNT = sizeof SWATCHES / sizeof SWATCHES[0];

const wchar_t* const SECTIONS[] = {L"Contacts Display", L"Activity Display", L"Notes Display", L"Popup Display"};
const wchar_t* const LINE_STYLES[] = {L"No Lines", L"Horizontal", L"Vertical", L"Both"};

// Each section's controls in order and the Contacts Display place each takes.
struct Placed {
    int id;
    int place;
};
const Placed CONTACTS_SECTION[] = {
    {IDC_COLOR_LV1_ROWS_LABEL, 0}, {IDC_COLOR_LV1_ROW1, 1},       {IDC_COLOR_LV1_ROW2, 2},
    {IDC_COLOR_LV1_TEXT_LABEL, 3}, {IDC_COLOR_LV1_TEXT, 4},       {IDC_COLOR_LV1_LINES_LABEL, 5},
    {IDC_COLOR_LV1_LINES, 6},      {IDC_COLOR_LV1_PAST_DUE_LABEL, 7}, {IDC_COLOR_LV1_PAST_DUE, 8},
    {IDC_COLOR_LV1_DONE_LABEL, 9}, {IDC_COLOR_LV1_DONE, 10},      {IDC_COLOR_LV1_STYLE_LABEL, 11},
    {IDC_COLOR_LV1_LINE_STYLE, 12},
};
const Placed ACTIVITY_SECTION[] = {
    {IDC_COLOR_LV2_ROWS_LABEL, 0}, {IDC_COLOR_LV2_ROW1, 1},       {IDC_COLOR_LV2_ROW2, 2},
    {IDC_COLOR_LV2_TEXT_LABEL, 3}, {IDC_COLOR_LV2_TEXT, 4},       {IDC_COLOR_LV2_LINES_LABEL, 5},
    {IDC_COLOR_LV2_LINES, 6},      {IDC_COLOR_LV2_PAST_DUE_LABEL, 7}, {IDC_COLOR_LV2_PAST_DUE, 8},
    {IDC_COLOR_LV2_DONE_LABEL, 9}, {IDC_COLOR_LV2_DONE, 10},      {IDC_COLOR_LV2_STYLE_LABEL, 11},
    {IDC_COLOR_LV2_LINE_STYLE, 12},
};
const Placed NOTES_SECTION[] = {
    {IDC_COLOR_NOTES_BACKGROUND_LABEL, 0}, {IDC_COLOR_NOTES_BACKGROUND, 1},
    {IDC_COLOR_NOTES_TEXT_LABEL, 3},       {IDC_COLOR_NOTES_TEXT, 4},
};
const Placed POPUP_SECTION[] = {
    {IDC_COLOR_POPUP_BACKGROUND_LABEL, 0}, {IDC_COLOR_POPUP_BACKGROUND, 1}, {IDC_COLOR_POPUP_TEXT_LABEL, 3},
    {IDC_COLOR_POPUP_TEXT, 4},             {IDC_COLOR_POPUP_CONTROLS_LABEL, 5}, {IDC_COLOR_POPUP_CONTROLS, 6},
};
struct Section {
    const Placed* controls;
    int count;
};
const Section SECTION_CONTROLS[] = {
    {CONTACTS_SECTION, 13}, {ACTIVITY_SECTION, 13}, {NOTES_SECTION, 4}, {POPUP_SECTION, 6}};

// The page's working colours, their swatch brushes and the section shown.
COLORREF working[SWATCH_COUNT];
HBRUSH brushes[SWATCH_COUNT];
int shownSection;

int SwatchIndex(int id)
{
    for (int i = 0; i < SWATCH_COUNT; ++i)
        if (SWATCHES[i].id == id)
            return i;
    return -1;
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    for (int i = 0; i < SWATCH_COUNT; ++i) {
        working[i] = settings.*SWATCHES[i].setting;
        brushes[i] = CreateSolidBrush(working[i]);
    }
    FillComboBox(GetDlgItem(page, IDC_COLOR_SECTION), SECTIONS, 0);
    FillComboBox(GetDlgItem(page, IDC_COLOR_LV1_LINE_STYLE), LINE_STYLES, settings.lv1lines);
    FillComboBox(GetDlgItem(page, IDC_COLOR_LV2_LINE_STYLE), LINE_STYLES, settings.lv2lines);
    POINT places[13];
    for (const Placed& control : CONTACTS_SECTION) {
        RECT rect;
        GetWindowRect(GetDlgItem(page, control.id), &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        places[control.place] = {rect.left, rect.top};
    }
    for (int s = 1; s < 4; ++s)
        for (int c = 0; c < SECTION_CONTROLS[s].count; ++c) {
            const Placed& control = SECTION_CONTROLS[s].controls[c];
            SetWindowPos(GetDlgItem(page, control.id), nullptr, places[control.place].x, places[control.place].y, 0,
                         0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    shownSection = 0;
    return TRUE;
}

void ShowSection(HWND page, int section)
{
    if (section < 0 || section > 3 || section == shownSection)
        return;
    for (int c = 0; c < SECTION_CONTROLS[shownSection].count; ++c)
        ShowWindow(GetDlgItem(page, SECTION_CONTROLS[shownSection].controls[c].id), SW_HIDE);
    for (int c = 0; c < SECTION_CONTROLS[section].count; ++c)
        ShowWindow(GetDlgItem(page, SECTION_CONTROLS[section].controls[c].id), SW_SHOW);
    shownSection = section;
}

void OnSwatchTapped(HWND page, int index)
{
    const COLORREF chosen = SelectColor(page, working[index]);
    if (chosen == working[index])
        return;
    working[index] = chosen;
    DeleteObject(brushes[index]);
    brushes[index] = CreateSolidBrush(chosen);
    InvalidateRect(GetDlgItem(page, SWATCHES[index].id), nullptr, TRUE);
}

void OnApply(HWND page)
{
    settings.lv1lines = static_cast<int>(SendDlgItemMessageW(page, IDC_COLOR_LV1_LINE_STYLE, CB_GETCURSEL, 0, 0));
    settings.lv2lines = static_cast<int>(SendDlgItemMessageW(page, IDC_COLOR_LV2_LINE_STYLE, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < SWATCH_COUNT; ++i)
        settings.*SWATCHES[i].setting = working[i];
    for (const Swatch& swatch : SWATCHES)
        SaveSetting(swatch.setting);
    SaveSetting(&Settings::lv1lines);
    SaveSetting(&Settings::lv2lines);
    // The row stripes are painted with brushes made from the colours: they
    // are made again so that new stripes show at once, not after a restart.
    CreateViewBrushes();
    for (HWND pane : {ContactsList(), ActivityList(), NotesPane()})
        if (pane)
            InvalidateRect(pane, nullptr, TRUE);
}

// The swatches show their working colour; every other static is on the panel.
LRESULT OnColorStatic(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    const int index = SwatchIndex(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
    if (index < 0)
        return ColorPanelStatic(dc);
    SetTextColor(dc, working[index]);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brushes[index]);
}

LRESULT OnCommand(HWND page, UINT, WPARAM wParam, LPARAM)
{
    const int id = LOWORD(wParam);
    if (id == IDC_COLOR_SECTION && IsChoiceChange(HIWORD(wParam))) {
        ShowSection(page, static_cast<int>(SendDlgItemMessageW(page, IDC_COLOR_SECTION, CB_GETCURSEL, 0, 0)));
    } else if (HIWORD(wParam) == STN_CLICKED) {
        const int index = SwatchIndex(id);
        if (index >= 0)
            OnSwatchTapped(page, index);
    }
    return TRUE;
}

LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM)
{
    for (HBRUSH& brush : brushes) {
        if (brush)
            DeleteObject(brush);
        brush = nullptr;
    }
    return FALSE;
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_CTLCOLORSTATIC, OnColorStatic},
    {WM_COMMAND, OnCommand},
    {WM_DESTROY, OnDestroy},
};

} // namespace

const SheetPage COLOR_PAGE = {5, 41, 46, {0}, 0, true, OnApply, ROWS, ARRAYSIZE(ROWS), nullptr, 0};
