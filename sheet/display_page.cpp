#include "sheet/display_page.h"

#include "base/app_handles.h"
#include "base/list_controls.h"
#include "base/wait_cursor.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/registry_list.h"
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
    createdContactColumns = numcontactfield + numlastactivityfield;
    createdActivityColumns = numactivityfield;
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
void StoreNaturalOrder(HWND list, int* order, int count, const wchar_t* pattern)
{
    for (int i = 0; i < count; ++i)
        order[i] = i;
    if (list && count > 0)
        SendMessageW(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order));
    RegWriteNumberList(pattern, order, count);
}

void RebuildColumns()
{
    lv1sortcolumn = 0;
    lv2sortcolumn = 0;
    RegWriteDword(L"lv1sortcolumn", 0);
    RegWriteDword(L"lv2sortcolumn", 0);
    const int contactColumns = numcontactfield + numlastactivityfield;
    if (!ResizeOrder(&lv1columnorder, contactColumns) || !ResizeOrder(&lv2columnorder, numactivityfield))
        return;
    SetWaitCursor(true);
    SetupListColumns();
    StoreNaturalOrder(ContactsList(), lv1columnorder, contactColumns, L"lv1columnorder%d");
    StoreNaturalOrder(ActivityList(), lv2columnorder, numactivityfield, L"lv2columnorder%d");
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
    bool fieldsChanged = TakeFields(page, IDC_DISPLAY_CONTACT_FIELDS, CONTACT_COLUMN_SLOTS, contactfield,
                                    &numcontactfield);
    fieldsChanged |= TakeFields(page, IDC_DISPLAY_LAST_FIELDS, LAST_ACTIVITY_COLUMN_SLOTS, lastactivityfield,
                                &numlastactivityfield);
    fieldsChanged |= TakeFields(page, IDC_DISPLAY_ACTIVITY_FIELDS, ACTIVITY_COLUMN_SLOTS, activityfield,
                                &numactivityfield);
    RegWriteDword(L"numcontactfield", numcontactfield);
    RegWriteDword(L"numlastactivityfield", numlastactivityfield);
    RegWriteDword(L"numactivityfield", numactivityfield);
    RegWriteNumberList(L"contactfield%d", contactfield, numcontactfield);
    RegWriteNumberList(L"lastactivityfield%d", lastactivityfield, numlastactivityfield);
    RegWriteNumberList(L"activityfield%d", activityfield, numactivityfield);

    const bool countsChanged = numcontactfield + numlastactivityfield != createdContactColumns ||
                               numactivityfield != createdActivityColumns;
    if (countsChanged || fieldsChanged)
        RebuildColumns();
    createdContactColumns = numcontactfield + numlastactivityfield;
    createdActivityColumns = numactivityfield;
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
    FillList(GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS), ContactFieldLabel, CONTACT_FIELD_COUNT, contactfield,
             numcontactfield);
    FillList(GetDlgItem(page, IDC_DISPLAY_LAST_FIELDS), ActivityFieldLabel, ACTIVITY_FIELD_COUNT,
             lastactivityfield, numlastactivityfield);
    FillList(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), ActivityFieldLabel, ACTIVITY_FIELD_COUNT,
             activityfield, numactivityfield);
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
