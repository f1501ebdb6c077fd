#include "sheet/descriptor_page.h"

#include "base/app_handles.h"
#include "base/list_controls.h"
#include "base/text.h"
#include "base/window_text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sheet/label_list_box.h"
#include "sheet/sheet_page.h"
#include "store/activity_record.h"
#include "store/label_lists.h"

#include <commctrl.h>

namespace {

const wchar_t* const LIST_NAMES[] = {L"Event", L"Next Action", L"User Field 1", L"User Field 2", L"User Field 3"};
const wchar_t* const DATABASES[] = {EVENTS_DATABASE, NEXT_ACTION_DATABASE, USER1_DATABASE, USER2_DATABASE,
                                    USER3_DATABASE};
// The edit takes a label of at most 39 characters.
constexpr int TYPED_LABEL_CAPACITY = 40;

// The list the list box shows, which Add and Delete act on.
int loadedList;

int ChosenList(HWND page)
{
    const LRESULT item = SendDlgItemMessageW(page, IDC_DESCRIPTOR_LIST_CHOICE, CB_GETCURSEL, 0, 0);
    return item >= 0 && item < 5 ? static_cast<int>(item) : 0;
}

void EnableDelete(HWND page, bool enable)
{
    EnableWindow(GetDlgItem(page, IDC_DESCRIPTOR_DELETE), enable);
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    FillComboBox(GetDlgItem(page, IDC_DESCRIPTOR_LIST_CHOICE), LIST_NAMES, 0);
    FillLabelList(GetDlgItem(page, IDC_DESCRIPTOR_LABELS), DATABASES[0]);
    loadedList = 0;
    CheckDlgButton(page, IDC_DESCRIPTOR_ADD_NEW, settings.addlabelsflag ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(page, IDC_DESCRIPTOR_EDIT, EM_LIMITTEXT, TYPED_LABEL_CAPACITY, 0);
    return TRUE;
}

// Every change of the choice reloads, so the list box always shows the list
// Add and Delete act on.
void FollowListChoice(HWND page)
{
    const int chosen = ChosenList(page);
    if (chosen == loadedList)
        return;
    loadedList = chosen;
    FillLabelList(GetDlgItem(page, IDC_DESCRIPTOR_LABELS), DATABASES[loadedList]);
    EnableDelete(page, false);
}

void OnAdd(HWND page)
{
    wchar_t typed[TYPED_LABEL_CAPACITY] = L"";
    ReadWindowText(GetDlgItem(page, IDC_DESCRIPTOR_EDIT), typed);
    TrimSpaces(typed);
    // An empty label would be an empty, unpickable line in the lists.
    // A label that was not kept stays typed for a second try.
    if (typed[0] && !AddLabel(GetDlgItem(page, IDC_DESCRIPTOR_LABELS), DATABASES[loadedList], typed)) {
        SetFocus(GetDlgItem(page, IDC_DESCRIPTOR_EDIT));
        return;
    }
    EnableDelete(page, false);
    SetDlgItemTextW(page, IDC_DESCRIPTOR_EDIT, L"");
    SetFocus(GetDlgItem(page, IDC_DESCRIPTOR_EDIT));
}

void OnDelete(HWND page)
{
    DeleteSelectedLabels(GetDlgItem(page, IDC_DESCRIPTOR_LABELS), DATABASES[loadedList]);
    EnableDelete(page, false);
}

void OnApply(HWND page)
{
    settings.addlabelsflag = IsDlgButtonChecked(page, IDC_DESCRIPTOR_ADD_NEW) == BST_CHECKED ? 1 : 0;
    SaveSetting(&Settings::addlabelsflag);
}

// The list box reaches down to the check box, which keeps to the page's
// bottom, whether the input panel is up or not.
LRESULT OnSize(HWND page, UINT, WPARAM, LPARAM lParam)
{
    const int height = HIWORD(lParam);
    HWND check = GetDlgItem(page, IDC_DESCRIPTOR_ADD_NEW);
    if (!check)
        return TRUE;
    RECT checkRect;
    GetWindowRect(check, &checkRect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&checkRect), 2);
    SetWindowPos(check, nullptr, checkRect.left, height - 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    StretchToPageBottom(page, IDC_DESCRIPTOR_LABELS, height, 35);
    return TRUE;
}

void FollowLabelSelection(HWND page)
{
    EnableDelete(page, SendDlgItemMessageW(page, IDC_DESCRIPTOR_LABELS, LB_GETSELCOUNT, 0, 0) > 0);
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_SIZE, OnSize},
};

const PageCommand COMMANDS[] = {
    {IDC_DESCRIPTOR_LIST_CHOICE, CBN_SELCHANGE, FollowListChoice},
    {IDC_DESCRIPTOR_LIST_CHOICE, CBN_CLOSEUP, FollowListChoice},
    {IDC_DESCRIPTOR_LABELS, LBN_SELCHANGE, FollowLabelSelection},
    {IDC_DESCRIPTOR_ADD, BN_CLICKED, OnAdd},
    {IDC_DESCRIPTOR_DELETE, BN_CLICKED, OnDelete},
    {IDC_DESCRIPTOR_EDIT, EN_SETFOCUS, RaiseInputPanelForTyping},
};

} // namespace

const SheetPage DESCRIPTOR_PAGE = {5, 41, 46, {0}, 0, false, OnApply, ROWS, ARRAYSIZE(ROWS),
                                   COMMANDS, ARRAYSIZE(COMMANDS)};
