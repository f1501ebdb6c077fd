#include "settings/sheet/display_page.h"

#include "base/app_handles.h"
#include "base/wait_cursor.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "settings/sheet/sheet_page.h"
#include "views/list_views.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <cstdlib>
#include <vector>
#include <initializer_list>

namespace {

constexpr COLORREF TITLE_COLOR = 0x960000;
const wchar_t* const SECTIONS[] = {L"Contact Section", L"Activity Section"};
constexpr int ACTIVITY_SECTION = 1;

HFONT titleFont;
int createdContactColumns;
int createdActivityColumns;

void FillList(HWND list, const wchar_t* (*label)(int), int count, const int* chosen, int chosenCount)
{
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label(i)));
    for (int i = 0; i < chosenCount; ++i)
        SendMessageW(list, LB_SETSEL, TRUE, chosen[i]);
}

// The selected items in ascending order, at most capacity of them.
int ReadSelection(HWND page, int id, int* chosen, int capacity)
{
    const LRESULT count =
        SendDlgItemMessageW(page, id, LB_GETSELITEMS, capacity, reinterpret_cast<LPARAM>(chosen));
    return count > 0 ? static_cast<int>(count) : 0;
}

void ShowSection(HWND page, int section)
{
    const bool activity = section == ACTIVITY_SECTION;
    for (int id : {IDC_DISPLAY_CONTACT_FIELDS, IDC_DISPLAY_LAST_FIELDS, IDC_DISPLAY_LAST_TITLE})
        ShowWindow(GetDlgItem(page, id), activity ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), activity ? SW_SHOW : SW_HIDE);
    SetDlgItemTextW(page, IDC_DISPLAY_TITLE, activity ? L"Activity Information" : L"Contact Information");
}

void OnInitDialog(HWND page)
{
    titleFont = CreateSectionTitleFont();
    for (int id : {IDC_DISPLAY_TITLE, IDC_DISPLAY_LAST_TITLE})
        SendDlgItemMessageW(page, id, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont), FALSE);
    for (const wchar_t* section : SECTIONS)
        SendDlgItemMessageW(page, IDC_DISPLAY_SECTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(section));
    SendDlgItemMessageW(page, IDC_DISPLAY_SECTION, CB_SETCURSEL, 0, 0);
    RECT place;
    GetWindowRect(GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS), &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RefillDisplayLists(page);
    createdContactColumns = numcontactfield + numlastactivityfield;
    createdActivityColumns = numactivityfield;
}

void WriteEntries(const wchar_t* pattern, const int* entries, int count)
{
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, pattern, i);
        RegWriteDword(name, static_cast<DWORD>(entries[i]));
    }
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
    WriteEntries(pattern, order, count);
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
bool KeepsFields(const int* chosen, int count, const int* current, int currentCount)
{
    if (count != currentCount)
        return false;
    std::vector<int> sorted(current, current + currentCount);
    std::sort(sorted.begin(), sorted.end());
    return std::equal(chosen, chosen + count, sorted.begin());
}

void OnApply(HWND page)
{
    int contacts[CONTACT_COLUMN_SLOTS], last[LAST_ACTIVITY_COLUMN_SLOTS], activities[ACTIVITY_COLUMN_SLOTS];
    const int contactCount = ReadSelection(page, IDC_DISPLAY_CONTACT_FIELDS, contacts, CONTACT_COLUMN_SLOTS);
    const int lastCount = ReadSelection(page, IDC_DISPLAY_LAST_FIELDS, last, LAST_ACTIVITY_COLUMN_SLOTS);
    const int activityCount = ReadSelection(page, IDC_DISPLAY_ACTIVITY_FIELDS, activities, ACTIVITY_COLUMN_SLOTS);
    // Fields that change while the counts stay need new headers too.
    bool fieldsChanged = false;
    if (KeepsFields(contacts, contactCount, contactfield, numcontactfield))
        std::copy(contactfield, contactfield + contactCount, contacts);
    else
        fieldsChanged = true;
    if (KeepsFields(last, lastCount, lastactivityfield, numlastactivityfield))
        std::copy(lastactivityfield, lastactivityfield + lastCount, last);
    else
        fieldsChanged = true;
    if (KeepsFields(activities, activityCount, activityfield, numactivityfield))
        std::copy(activityfield, activityfield + activityCount, activities);
    else
        fieldsChanged = true;

    std::copy(contacts, contacts + contactCount, contactfield);
    std::copy(last, last + lastCount, lastactivityfield);
    std::copy(activities, activities + activityCount, activityfield);
    numcontactfield = contactCount;
    numlastactivityfield = lastCount;
    numactivityfield = activityCount;
    RegWriteDword(L"numcontactfield", numcontactfield);
    RegWriteDword(L"numlastactivityfield", numlastactivityfield);
    RegWriteDword(L"numactivityfield", numactivityfield);
    WriteEntries(L"contactfield%d", contactfield, numcontactfield);
    WriteEntries(L"lastactivityfield%d", lastactivityfield, numlastactivityfield);
    WriteEntries(L"activityfield%d", activityfield, numactivityfield);

    const bool countsChanged = numcontactfield + numlastactivityfield != createdContactColumns ||
                               numactivityfield != createdActivityColumns;
    if (countsChanged || fieldsChanged)
        RebuildColumns();
    createdContactColumns = numcontactfield + numlastactivityfield;
    createdActivityColumns = numactivityfield;
}

} // namespace

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
        int chosen[CONTACT_FIELD_COUNT];
        const int chosenCount = ReadSelection(page, id, chosen, CONTACT_FIELD_COUNT);
        FillList(list, contacts ? ContactFieldLabel : ActivityFieldLabel, count, chosen, chosenCount);
    }
}

INT_PTR CALLBACK DisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_PAINT:
        PaintPagePanels(page, 5, 0, 0);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        return ColorPageStatic(reinterpret_cast<HDC>(wParam), id == IDC_DISPLAY_TITLE || id == IDC_DISPLAY_LAST_TITLE,
                               titleFont, TITLE_COLOR);
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DISPLAY_SECTION && IsChoiceChange(HIWORD(wParam)))
            ShowSection(page, static_cast<int>(SendDlgItemMessageW(page, IDC_DISPLAY_SECTION, CB_GETCURSEL, 0, 0)));
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, true, OnApply);
    case WM_DESTROY:
        if (titleFont)
            DeleteObject(titleFont);
        titleFont = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
