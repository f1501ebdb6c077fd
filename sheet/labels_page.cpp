#include "sheet/labels_page.h"

#include "base/app_handles.h"
#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/text.h"
#include "base/window_text.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "sheet/display_page.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_page.h"
#include "store/find_filter.h"
#include "views/find_bar.h"
#include "views/list_model.h"

#include <commctrl.h>

#include <cwchar>

namespace {

// The edit is read with room for this many characters.
constexpr int TYPED_CAPACITY = 100;

void FillLabels(HWND page)
{
    FillListBox(GetDlgItem(page, IDC_LABELS_LIST), TextsOf(FieldLabel, FIELD_COUNT));
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    FillLabels(page);
    return TRUE;
}

void EndEditing(HWND page)
{
    SetDlgItemTextW(page, IDC_LABELS_EDIT, L"");
    EnableWindow(GetDlgItem(page, IDC_LABELS_RENAME), FALSE);
}

void SetHeaderText(HWND list, int column, const wchar_t* text)
{
    HWND header = list ? ListView_GetHeader(list) : nullptr;
    if (!header)
        return;
    wchar_t copy[FIELD_LABEL_CAPACITY];
    CopyText(copy, text);
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = copy;
    SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
}

// Every column that shows the field takes its label, the contacts list's
// last-activity columns included, so no header keeps an old name.
void RetitleColumns(int field)
{
    if (field < CONTACT_FIELD_COUNT) {
        for (int c = 0; c < settings.numcontactfield; ++c)
            if (settings.contactfield[c] == field)
                SetHeaderText(ContactsList(), c, FieldLabel(field));
        return;
    }
    const int activityField = field - CONTACT_FIELD_COUNT;
    for (int c = 0; c < settings.numlastactivityfield; ++c)
        if (settings.lastactivityfield[c] == activityField)
            SetHeaderText(ContactsList(), settings.numcontactfield + c, FieldLabel(field));
    for (int c = 0; c < settings.numactivityfield; ++c)
        if (settings.activityfield[c] == activityField)
            SetHeaderText(ActivityList(), c, FieldLabel(field));
}

void RefillDisplayPage(HWND page)
{
    if (HWND display = SettingsPage(GetParent(page), IDD_DISPLAY_PAGE))
        RelabelDisplayLists(display);
}

void OnRename(HWND page)
{
    HWND list = GetDlgItem(page, IDC_LABELS_LIST);
    const int field = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (field < 0 || field >= FIELD_COUNT)
        return;
    wchar_t typed[TYPED_CAPACITY];
    ReadWindowText(GetDlgItem(page, IDC_LABELS_EDIT), typed);
    wchar_t trimmed[TYPED_CAPACITY];
    CopyText(trimmed, typed);
    TrimSpaces(trimmed);
    if (!trimmed[0]) {
        // A column would be left without a header.
        AppMessageBox(page, EMPTY_LABEL_REFUSED, L"Warning", APP_MB_WARNING);
        SetFocus(GetDlgItem(page, IDC_LABELS_EDIT));
        return;
    }
    RenameFieldLabel(field, typed);
    SaveFieldLabel(field);
    SendMessageW(list, LB_DELETESTRING, field, 0);
    SendMessageW(list, LB_INSERTSTRING, field, reinterpret_cast<LPARAM>(FieldLabel(field)));
    SendMessageW(list, LB_SETCURSEL, field, 0);
    RefillDisplayPage(page);
    RetitleColumns(field);
    EndEditing(page);
}

void OnReset(HWND page)
{
    if (AppMessageBox(page,
                      L"Do you want to reset all the existing contact and activity field labels to their original "
                      L"default values?",
                      L"Warning", APP_MB_YESNO | APP_MB_WARNING) == 1) {
        ResetFieldLabels();
        for (int field = 0; field < FIELD_COUNT; ++field)
            SaveFieldLabel(field);
        FillLabels(page);
        RefillDisplayPage(page);
        for (int field = 0; field < FIELD_COUNT; ++field)
            RetitleColumns(field);
    }
    EndEditing(page);
}

// The find bar's field box shows the labels as they are now.
void OnApply(HWND)
{
    FillFindFieldBox(findMode);
}

LRESULT OnSize(HWND page, UINT, WPARAM, LPARAM lParam)
{
    StretchToPageBottom(page, IDC_LABELS_LIST, HIWORD(lParam), 12);
    return TRUE;
}

// The chosen label goes into the edit for renaming.
void OnLabelChosen(HWND page)
{
    const LRESULT field = SendDlgItemMessageW(page, IDC_LABELS_LIST, LB_GETCURSEL, 0, 0);
    if (field < 0 || field >= FIELD_COUNT)
        return;
    SetDlgItemTextW(page, IDC_LABELS_EDIT, FieldLabel(static_cast<int>(field)));
    SetFocus(GetDlgItem(page, IDC_LABELS_EDIT));
    EnableWindow(GetDlgItem(page, IDC_LABELS_RENAME), TRUE);
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_SIZE, OnSize},
};

const PageCommand COMMANDS[] = {
    {IDC_LABELS_LIST, LBN_SELCHANGE, OnLabelChosen},
    {IDC_LABELS_EDIT, EN_SETFOCUS, RaiseInputPanelForTyping},
    {IDC_LABELS_RENAME, BN_CLICKED, OnRename},
    {IDC_LABELS_RESET, BN_CLICKED, OnReset},
};

} // namespace

const SheetPage LABELS_PAGE = {5, 0, 0, {0}, 0, false, OnApply, ROWS, ARRAYSIZE(ROWS),
                               COMMANDS, ARRAYSIZE(COMMANDS)};
