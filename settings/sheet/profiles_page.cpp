#include "settings/sheet/profiles_page.h"

#include "base/drawing.h"
#include "base/message_box.h"
#include "base/text.h"
#include "base/window_text.h"
#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/sheet/label_list_box.h"
#include "store/database.h"
#include "store/profiles.h"
#include "store/store_error.h"
#include "views/profile_menu.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

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

void OnInitDialog(HWND page)
{
    SendDlgItemMessageW(page, IDC_PROFILE_COMBO, CB_LIMITTEXT, PROFILE_TYPING_LIMIT, 0);
    HWND list = GetDlgItem(page, IDC_PROFILE_CATEGORIES);
    CategoryName* categories = nullptr;
    int count = 0;
    ReadCategoryList(&categories, &count);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(categories[i]));
    std::free(categories);

    CategoryName* profiles = nullptr;
    const int listed = ListProfiles(&profiles);
    for (int i = 0; i < listed; ++i)
        SendDlgItemMessageW(page, IDC_PROFILE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(profiles[i]));
    std::free(profiles);
    SelectFirstProfile(page);
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
    BuildProfilesMenu(activeprofilename);
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
    if (std::wcscmp(name, activeprofilename) == 0) {
        // The contacts it restricted to would otherwise stay hidden under
        // a checked "All": the lists show everyone again at once.
        SelectProfile(IDM_PROFILE_FIRST);
    }
    BuildProfilesMenu(activeprofilename);
    MessageBeep(BEEP);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    switch (id) {
    case IDC_PROFILE_COMBO:
        if (code == CBN_SELCHANGE) {
            HWND combo = GetDlgItem(page, IDC_PROFILE_COMBO);
            wchar_t name[CATEGORY_NAME_CAPACITY] = L"";
            const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (selected >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0) < CATEGORY_NAME_CAPACITY)
                SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(name));
            TrimSpaces(name);
            ShowCategoriesOf(page, name);
        }
        break;
    case IDC_PROFILE_CLEAR: SendDlgItemMessageW(page, IDC_PROFILE_CATEGORIES, LB_SETSEL, FALSE, -1); break;
    case IDC_PROFILE_APPLY: OnApply(page); break;
    case IDC_PROFILE_DELETE: OnDelete(page); break;
    default: break;
    }
}

void OnPaint(HWND page)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    RECT client;
    GetClientRect(page, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawRoundFrame(dc, 6, 3, 234, client.bottom - 6, 4, 0x00FF00, 0x000000);
    EndPaint(page, &paint);
}

} // namespace

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_PAINT:
        OnPaint(page);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == PSN_KILLACTIVE)
            SipShowIM(SIPF_OFF);
        else if (header->code == PSN_APPLY)
            BuildProfilesMenu(activeprofilename);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
