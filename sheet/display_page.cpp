#include "sheet/display_page.h"

#include "base/app_handles.h"
#include "base/list_controls.h"
#include "base/wait_cursor.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "sheet/sheet_page.h"
#include "views/list_views.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <initializer_list>

namespace {

constexpr COLORREF TITLE_COLOR = 0x960000;
const wchar_t* const SECTIONS[] = {L"Contact Section", L"Activity Section"};
constexpr int ACTIVITY_SECTION = 1;

int createdContactColumns;
int createdActivityColumns;

void FillList(HWND list, const wchar_t* (*label)(int), int count, const int* chosen, int chosenCount)
{
    FillListBox(list, TextsOf(label, count));
    SelectListItems(list, chosen, chosenCount);
}

// The selected items in ascending order, at most capacity of them.
std::vector<int> ReadSelection(HWND page, int id, int capacity)
{
    return SelectedItems(GetDlgItem(page, id), static_cast<size_t>(capacity));
}

void ShowSection(HWND page, int section)
{
    const bool activity = section == ACTIVITY_SECTION;
    for (int id : {IDC_DISPLAY_CONTACT_FIELDS, IDC_DISPLAY_LAST_FIELDS, IDC_DISPLAY_LAST_TITLE})
        ShowWindow(GetDlgItem(page, id), activity ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), activity ? SW_SHOW : SW_HIDE);
    SetDlgItemTextW(page, IDC_DISPLAY_TITLE, activity ? L"Activity Information" : L"Contact Information");
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    FillComboBox(GetDlgItem(page, IDC_DISPLAY_SECTION), SECTIONS, 0);
    RECT place;
    GetWindowRect(GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS), &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RefillDisplayLists(page);
    createdContactColumns = settings.numcontactfield + settings.numlastactivityfield;
    createdActivityColumns = settings.numactivityfield;
    return TRUE;
}

void FollowSectionChoice(HWND page)
{
    ShowSection(page, static_cast<int>(SendDlgItemMessageW(page, IDC_DISPLAY_SECTION, CB_GETCURSEL, 0, 0)));
}

bool ResizeOrder(int** order, int count)
{
    void* resized = std::realloc(*order, sizeof(int) * static_cast<size_t>(count > 0 ? count : 1));
    if (!resized)
        return false;
    *order = static_cast<int*>(resized);
    return true;
}

// After the rebuild each list's order is the natural one; it is read back
// from the list so that the stored order is what the list shows.
void StoreNaturalOrder(HWND list, int* Settings::*orderMember, int count)
{
    int* order = settings.*orderMember;
    for (int i = 0; i < count; ++i)
        order[i] = i;
    if (list && count > 0)
        SendMessageW(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order));
    SaveSettingEntries(orderMember, 0, count);
}

void RebuildColumns()
{
    settings.lv1sortcolumn = 0;
    settings.lv2sortcolumn = 0;
    SaveSetting(&Settings::lv1sortcolumn);
    SaveSetting(&Settings::lv2sortcolumn);
    const int contactColumns = settings.numcontactfield + settings.numlastactivityfield;
    if (!ResizeOrder(&settings.lv1columnorder, contactColumns) ||
        !ResizeOrder(&settings.lv2columnorder, settings.numactivityfield))
        return;
    SetWaitCursor(true);
    SetupListColumns();
    StoreNaturalOrder(ContactsList(), &Settings::lv1columnorder, contactColumns);
    StoreNaturalOrder(ActivityList(), &Settings::lv2columnorder, settings.numactivityfield);
    // The new columns get their widths and the arrow of the new sort column,
    // and the rows are sorted and drawn by it.
    contactsColumnTappedLast = activityColumnTappedLast = -1;
    ApplyColumnWidthsAndArrows(hMainWindow);
    FillContactsList();
    SelectRowByTap(ContactsList(), 0);
    SetWaitCursor(false);
}

// The selection keeps the list's current entries when it holds the same
// fields: the default activity columns are not in catalogue order, and a
// mere OK must not reorder them.
bool KeepsFields(const std::vector<int>& chosen, const int* current, int currentCount)
{
    if (static_cast<int>(chosen.size()) != currentCount)
        return false;
    std::vector<int> sorted(current, current + currentCount);
    std::sort(sorted.begin(), sorted.end());
    return chosen == sorted;
}

// Takes the list's selection as the columns; false when they change.
bool TakeFields(HWND page, int listId, int capacity, int* fields, int* count)
{
    const std::vector<int> chosen = ReadSelection(page, listId, capacity);
    if (KeepsFields(chosen, fields, *count))
        return false;
    std::copy(chosen.begin(), chosen.end(), fields);
    *count = static_cast<int>(chosen.size());
    return true;
}

void OnApply(HWND page)
{
    // Fields that change while the counts stay need new headers too.
    bool fieldsChanged = TakeFields(page, IDC_DISPLAY_CONTACT_FIELDS, CONTACT_COLUMN_SLOTS, settings.contactfield,
                                    &settings.numcontactfield);
    fieldsChanged |= TakeFields(page, IDC_DISPLAY_LAST_FIELDS, LAST_ACTIVITY_COLUMN_SLOTS, settings.lastactivityfield,
                                &settings.numlastactivityfield);
    fieldsChanged |= TakeFields(page, IDC_DISPLAY_ACTIVITY_FIELDS, ACTIVITY_COLUMN_SLOTS, settings.activityfield,
                                &settings.numactivityfield);
    SaveSetting(&Settings::numcontactfield);
    SaveSetting(&Settings::numlastactivityfield);
    SaveSetting(&Settings::numactivityfield);
    SaveSettingEntries(&Settings::contactfield, 0, settings.numcontactfield);
    SaveSettingEntries(&Settings::lastactivityfield, 0, settings.numlastactivityfield);
    SaveSettingEntries(&Settings::activityfield, 0, settings.numactivityfield);

    const bool countsChanged = settings.numcontactfield + settings.numlastactivityfield != createdContactColumns ||
                               settings.numactivityfield != createdActivityColumns;
    if (countsChanged || fieldsChanged)
        RebuildColumns();
    createdContactColumns = settings.numcontactfield + settings.numlastactivityfield;
    createdActivityColumns = settings.numactivityfield;
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
};

const PageCommand COMMANDS[] = {
    {IDC_DISPLAY_SECTION, CBN_SELCHANGE, FollowSectionChoice},
    {IDC_DISPLAY_SECTION, CBN_CLOSEUP, FollowSectionChoice},
};

} // namespace

const SheetPage DISPLAY_PAGE = {
    5, 0, 0, {IDC_DISPLAY_TITLE, IDC_DISPLAY_LAST_TITLE}, TITLE_COLOR, true, OnApply, ROWS, ARRAYSIZE(ROWS),
    COMMANDS, ARRAYSIZE(COMMANDS)};

void RefillDisplayLists(HWND page)
{
    FillList(GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS), ContactFieldLabel, CONTACT_FIELD_COUNT,
             settings.contactfield, settings.numcontactfield);
    FillList(GetDlgItem(page, IDC_DISPLAY_LAST_FIELDS), ActivityFieldLabel, ACTIVITY_FIELD_COUNT,
             settings.lastactivityfield, settings.numlastactivityfield);
    FillList(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), ActivityFieldLabel, ACTIVITY_FIELD_COUNT,
             settings.activityfield, settings.numactivityfield);
}

void RelabelDisplayLists(HWND page)
{
    for (int id : {IDC_DISPLAY_CONTACT_FIELDS, IDC_DISPLAY_LAST_FIELDS, IDC_DISPLAY_ACTIVITY_FIELDS}) {
        HWND list = GetDlgItem(page, id);
        const bool contacts = id == IDC_DISPLAY_CONTACT_FIELDS;
        const int count = contacts ? CONTACT_FIELD_COUNT : ACTIVITY_FIELD_COUNT;
        const std::vector<int> chosen = ReadSelection(page, id, CONTACT_FIELD_COUNT);
        FillList(list, contacts ? ContactFieldLabel : ActivityFieldLabel, count, chosen.data(),
                 static_cast<int>(chosen.size()));
    }
}
