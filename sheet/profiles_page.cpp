#include "sheet/profiles_page.h"

#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/text.h"
#include "base/window_text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sheet/label_list_box.h"
#include "store/database.h"
#include "store/profiles.h"
#include "store/store_error.h"
#include "views/profile_menu.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int PROFILE_TYPING_LIMIT = 26;
constexpr UINT BEEP = 0x10;

std::wstring ProfileDatabase(const wchar_t* profile)
{
    return std::wstring(PROFILE_PREFIX) + profile;
}

// The combo's text, trimmed.
void TypedProfile(HWND page, wchar_t (&name)[CATEGORY_NAME_CAPACITY + 8])
{
    ReadWindowText(GetDlgItem(page, IDC_PROFILE_COMBO), name);
    TrimSpaces(name);
}

// The combo item holding exactly this name (letter case counts, as it does
// for database names), -1 for none.
int FindProfileItem(HWND combo, const wchar_t* name)
{
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t item[CATEGORY_NAME_CAPACITY] = L"";
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || length >= CATEGORY_NAME_CAPACITY)
            continue;
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        if (std::wcscmp(item, name) == 0)
            return i;
    }
    return -1;
}

void ShowCategoriesOf(HWND page, const wchar_t* profile)
{
    HWND list = GetDlgItem(page, IDC_PROFILE_CATEGORIES);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    if (!profile[0])
        return;
    CategoryName* categories = nullptr;
    const int count = ReadProfileCategories(profile, &categories);
    for (int i = 0; i < count; ++i) {
        const LRESULT item =
            SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(categories[i]));
        if (item != LB_ERR)
            SendMessageW(list, LB_SETSEL, TRUE, item);
    }
    std::free(categories);
}

void SelectFirstProfile(HWND page)
{
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    wchar_t first[CATEGORY_NAME_CAPACITY] = L"";
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) > 0) {
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        if (SendMessageW(combo, CB_GETLBTEXTLEN, 0, 0) < CATEGORY_NAME_CAPACITY)
            SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    } else {
        SetWindowTextW(combo, L"");
    }
    ShowCategoriesOf(page, first);
}

// The names and frees them.
std::vector<std::wstring> TakeNames(CategoryName* names, int count)
{
    std::vector<std::wstring> texts(names, names + (names && count > 0 ? count : 0));
    std::free(names);
    return texts;
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    SendDlgItemMessageW(page, IDC_PROFILE_COMBO, CB_LIMITTEXT, PROFILE_TYPING_LIMIT, 0);
    CategoryName* categories = nullptr;
    int count = 0;
    ReadCategoryList(&categories, &count);
    FillListBox(GetDlgItem(page, IDC_PROFILE_CATEGORIES), TakeNames(categories, count));
    CategoryName* profiles = nullptr;
    const int listed = ListProfiles(&profiles);
    FillComboBox(GetDlgItem(page, IDC_PROFILE_COMBO), TakeNames(profiles, listed));
    SelectFirstProfile(page);
    return TRUE;
}

// A name the page may store: not empty, not "All", short enough for a
// database name. Says what is wrong otherwise.
bool AcceptableName(HWND page, const wchar_t* name)
{
    const wchar_t* problem = nullptr;
    if (!name[0])
        problem = L"Must enter a profile name!";
    else if (std::wcscmp(name, ALL_PROFILES) == 0)
        problem = L"Profile name cannot be \"All\"! Please use a different name.";
    else if (std::wcslen(name) > static_cast<size_t>(MAX_PROFILE_NAME))
        problem = PROFILE_NAME_TOO_LONG;
    if (!problem)
        return true;
    AppMessageBox(page, problem, L"Error", APP_MB_WARNING);
    SetFocus(GetDlgItem(page, IDC_PROFILE_COMBO));
    return false;
}

void OnApply(HWND page)
{
    wchar_t name[CATEGORY_NAME_CAPACITY + 8];
    TypedProfile(page, name);
    if (!AcceptableName(page, name))
        return;
    // Failing, the page keeps the name and the chosen categories.
    if (!saveLBTextToDatabase(GetDlgItem(page, IDC_PROFILE_CATEGORIES), ProfileDatabase(name).c_str(), 1)) {
        ReportStoreFailure(page, L"The profile could not be saved", L"apply it again");
        return;
    }
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    int item = FindProfileItem(combo, name);
    if (item < 0)
        item = static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)));
    SendMessageW(combo, CB_SETCURSEL, item, 0);
    // The database changed at once; so does the menu, whatever the sheet's end.
    BuildProfilesMenu(settings.activeprofilename);
    MessageBeep(BEEP);
}

void OnDelete(HWND page)
{
    wchar_t name[CATEGORY_NAME_CAPACITY + 8];
    TypedProfile(page, name);
    if (!name[0])
        return;
    wchar_t question[120];
    std::swprintf(question, 120, L"Do you want to delete the '%ls' profile?", name);
    if (AppMessageBox(page, question, L"Warning", APP_MB_YESNO | APP_MB_WARNING) != 1)
        return;
    StoreChanges changes;
    DeleteNamedDB(ProfileDatabase(name).c_str());
    if (changes.Failed()) {
        ReportStoreFailure(page, L"The profile could not be deleted", L"delete it again");
        return;
    }
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    const int item = FindProfileItem(combo, name);
    if (item >= 0)
        SendMessageW(combo, CB_DELETESTRING, item, 0);
    SelectFirstProfile(page);
    if (std::wcscmp(name, settings.activeprofilename) == 0) {
        // The contacts it restricted to would otherwise stay hidden under
        // a checked "All": the lists show everyone again at once.
        SelectProfile(IDM_PROFILE_FIRST);
    }
    BuildProfilesMenu(settings.activeprofilename);
    MessageBeep(BEEP);
}

void OnProfileChosen(HWND page)
{
    HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
    wchar_t name[CATEGORY_NAME_CAPACITY] = L"";
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0) < CATEGORY_NAME_CAPACITY)
        SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(name));
    TrimSpaces(name);
    ShowCategoriesOf(page, name);
}

void OnClear(HWND page)
{
    SendDlgItemMessageW(page, IDC_PROFILE_CATEGORIES, LB_SETSEL, FALSE, -1);
}

// The sheet's OK keeps no pending choice (the page's own Apply does): the
// menu is only built again.
void OnSheetApply(HWND)
{
    BuildProfilesMenu(settings.activeprofilename);
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
};

const PageCommand COMMANDS[] = {
    {IDC_PROFILE_COMBO, CBN_SELCHANGE, OnProfileChosen},
    {IDC_PROFILE_CLEAR, BN_CLICKED, OnClear},
    {IDC_PROFILE_APPLY, BN_CLICKED, OnApply},
    {IDC_PROFILE_DELETE, BN_CLICKED, OnDelete},
};

} // namespace

const SheetPage PROFILES_PAGE = {3, 0, 0, {0}, 0, false, OnSheetApply, ROWS, ARRAYSIZE(ROWS),
                                 COMMANDS, ARRAYSIZE(COMMANDS)};
