#include "activity/purge_dialog.h"

#include "activity/purge.h"
#include "base/app_handles.h"
#include "base/full_screen_dialog.h"
#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/short_date.h"
#include "base/wait_cursor.h"
#include "platform/notify/device_clock.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "store/store_error.h"
#include "views/contact_name_controls.h"
#include "views/list_views.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr int METHOD_ALL = 0;
constexpr int METHOD_BY_DATE = 1;
const wchar_t* const METHODS[] = {L"All", L"By Date"};
constexpr int NAME_CAPACITY = 80;
constexpr int QUESTION_CAPACITY = 240;

// One dialog at a time: the combo's contacts, in item order after "[ALL]".
CEOID* purgeContacts;

void ShowDateRow(HWND dialog, int method)
{
    const int show = method == METHOD_BY_DATE ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog, IDC_PURGE_BEFORE_LABEL), show);
    ShowWindow(GetDlgItem(dialog, IDC_PURGE_DATE), show);
}

void OnInitDialog(HWND dialog)
{
    MakeDialogFullScreen(dialog);

    HWND method = GetDlgItem(dialog, IDC_PURGE_METHOD);
    const int stored = settings.purgemethod == METHOD_BY_DATE ? METHOD_BY_DATE : METHOD_ALL;
    FillComboBox(method, METHODS, stored);
    ShowDateRow(dialog, stored);

    SYSTEMTIME today;
    GetDeviceLocalTime(&today);
    SendDlgItemMessageW(dialog, IDC_PURGE_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));

    HWND contacts = GetDlgItem(dialog, IDC_PURGE_CONTACT);
    SetWaitCursor(true);
    FillContactCombo(contacts, &purgeContacts);
    SetWaitCursor(false);
    SendMessageW(contacts, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(L"[ALL]"));
    SendMessageW(contacts, CB_SETCURSEL, 0, 0);
}

void OnMethodChanged(HWND dialog)
{
    const int method = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PURGE_METHOD, CB_GETCURSEL, 0, 0));
    settings.purgemethod = method == METHOD_BY_DATE ? METHOD_BY_DATE : METHOD_ALL;
    SaveSetting(&Settings::purgemethod);
    ShowDateRow(dialog, settings.purgemethod);
}

void Purge(HWND dialog)
{
    SYSTEMTIME chosen = {};
    SendDlgItemMessageW(dialog, IDC_PURGE_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&chosen));
    double chosenDate = 0.0;
    SystemTimeToVariantTime(&chosen, &chosenDate);
    wchar_t date[NAME_CAPACITY] = L"";
    FormatShortDate(chosenDate, date, NAME_CAPACITY);

    HWND contacts = GetDlgItem(dialog, IDC_PURGE_CONTACT);
    const int item = static_cast<int>(SendMessageW(contacts, CB_GETCURSEL, 0, 0));
    wchar_t name[NAME_CAPACITY] = L"";
    if (item > 0 && SendMessageW(contacts, CB_GETLBTEXTLEN, item, 0) < NAME_CAPACITY)
        SendMessageW(contacts, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(name));
    const CEOID contact = item > 0 && purgeContacts ? purgeContacts[item - 1] : 0;
    const bool byDate = settings.purgemethod == METHOD_BY_DATE;

    wchar_t question[QUESTION_CAPACITY];
    if (contact && byDate)
        std::swprintf(question, QUESTION_CAPACITY, L"Purging all activity records before %ls for Contact '%ls'?", date,
                      name);
    else if (contact)
        std::swprintf(question, QUESTION_CAPACITY, L"Purging all activity records for Contact '%ls'?", name);
    else if (byDate)
        std::swprintf(question, QUESTION_CAPACITY, L"Purging all activity records before %ls for all Contacts?", date);
    else
        std::swprintf(question, QUESTION_CAPACITY, L"Purging all activity records for all Contacts?");
    if (AppMessageBox(dialog, question, L"Purging Message", APP_MB_YESNO | APP_MB_WARNING) != 1)
        return;

    StoreChanges changes;
    PurgeActivities(contact, byDate ? chosenDate - 1.0 : 0.0);
    if (changes.Failed())
        ReportStoreFailure(dialog, L"The purge could not be completed", L"purge again");
    const CEOID current = CurrentContactOid();
    SetWaitCursor(true);
    FillContactsList();
    SetWaitCursor(false);
    const int row = RowOfContact(current);
    if (HWND list = ContactsList()) {
        SendMessageW(list, LVM_ENSUREVISIBLE, row < 0 ? 0 : row, FALSE);
        SelectRowByTap(list, row < 0 ? 0 : row);
        // Every row's last-activity cells may have changed.
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
    MessageBeep(0);
}

INT_PTR CALLBACK PurgeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PURGE_METHOD:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                OnMethodChanged(dialog);
            return TRUE;
        case IDC_PURGE_BUTTON:
            Purge(dialog);
            return TRUE;
        default:
            return EndOnOkOrCancel(dialog, wParam);
        }
    default:
        return FALSE;
    }
}

} // namespace

void ShowPurgeDialog(HWND mainWindow)
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_PURGE), mainWindow, PurgeDialogProc, 0);
    std::free(purgeContacts);
    purgeContacts = nullptr;
}
