#include "settings/sheet/descriptor_page.h"

#include "base/app_handles.h"
#include "base/text.h"
#include "base/window_text.h"
#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/sheet/label_list_box.h"
#include "settings/sheet/sheet_page.h"
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

void OnInitDialog(HWND page)
{
    for (const wchar_t* name : LIST_NAMES)
        SendDlgItemMessageW(page, IDC_DESCRIPTOR_LIST_CHOICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageW(page, IDC_DESCRIPTOR_LIST_CHOICE, CB_SETCURSEL, 0, 0);
    FillLabelList(GetDlgItem(page, IDC_DESCRIPTOR_LABELS), DATABASES[0]);
    loadedList = 0;
    CheckDlgButton(page, IDC_DESCRIPTOR_ADD_NEW, addlabelsflag ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(page, IDC_DESCRIPTOR_EDIT, EM_LIMITTEXT, TYPED_LABEL_CAPACITY, 0);
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

// The list box reaches down to the check box, which keeps to the page's
// bottom, whether the input panel is up or not.
void OnApply(HWND page)
{
    addlabelsflag = IsDlgButtonChecked(page, IDC_DESCRIPTOR_ADD_NEW) == BST_CHECKED ? 1 : 0;
    RegWriteDword(L"addlabelsflag", addlabelsflag);
}

void OnSize(HWND page, int height)
{
    HWND labels = GetDlgItem(page, IDC_DESCRIPTOR_LABELS);
    HWND check = GetDlgItem(page, IDC_DESCRIPTOR_ADD_NEW);
    if (!labels || !check)
        return;
    RECT box, checkRect;
    GetWindowRect(labels, &box);
    GetWindowRect(check, &checkRect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&box), 2);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&checkRect), 2);
    const int listHeight = height - box.top - 35;
    SetWindowPos(labels, nullptr, 0, 0, box.right - box.left, listHeight > 20 ? listHeight : 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(check, nullptr, checkRect.left, height - 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(page, nullptr, TRUE);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    switch (id) {
    case IDC_DESCRIPTOR_LIST_CHOICE:
        if (IsChoiceChange(code))
            FollowListChoice(page);
        break;
    case IDC_DESCRIPTOR_LABELS:
        if (code == LBN_SELCHANGE)
            EnableDelete(page, SendDlgItemMessageW(page, IDC_DESCRIPTOR_LABELS, LB_GETSELCOUNT, 0, 0) > 0);
        break;
    case IDC_DESCRIPTOR_ADD:
        if (code == BN_CLICKED)
            OnAdd(page);
        break;
    case IDC_DESCRIPTOR_DELETE:
        if (code == BN_CLICKED)
            OnDelete(page);
        break;
    case IDC_DESCRIPTOR_EDIT:
        if (code == EN_SETFOCUS && !hasKeyboard)
            SipShowIM(SIPF_ON);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK DescriptorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_SIZE:
        OnSize(page, HIWORD(lParam));
        return TRUE;
    case WM_PAINT:
        PaintPagePanels(page, 5, 41, 46);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return ColorPageStatic(reinterpret_cast<HDC>(wParam), false, nullptr, 0);
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, false, OnApply);
    default:
        return FALSE;
    }
}
