#include "sheet/other_page.h"

#include "activity/purge.h"
#include "base/app_folders.h"
#include "base/app_handles.h"
#include "base/drawing.h"
#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/wait_cursor.h"
#include "contacts/contact_editor.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sheet/sheet_page.h"
#include "store/store_error.h"
#include "views/list_model.h"
#include "views/list_views.h"
#include "views/view_resources.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <initializer_list>

namespace {

constexpr COLORREF TITLE_COLOR = 0x990000;
constexpr int FONT_SIZE_ITEMS = 6;
constexpr int FITTED_COLUMNS = 9;
const wchar_t* const EDITORS[] = {L"Std Contact App", L"PocketInformant"};
constexpr int POCKET_INFORMANT = 1;

const int SIZE_LISTS[] = {IDC_OTHER_FONT_SIZE, IDC_OTHER_NOTES_FONT_SIZE, IDC_OTHER_POPUP_FONT_SIZE};

// What the page found when it was made; apply compares against it.
int createdFontSize;
int createdNoteFontSize;
int createdClearType;
// The editor choice whose installation was last checked.
LRESULT checkedEditor;

int Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
}

void Check(HWND page, int id, int value)
{
    CheckDlgButton(page, id, value ? BST_CHECKED : BST_UNCHECKED);
}

int SelectedSize(HWND page, int id, int current)
{
    const int item = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
    return item < 0 ? current : FontSizeOfItem(item);
}

LRESULT OnInitDialog(HWND page, UINT, WPARAM, LPARAM)
{
    const int sizes[] = {settings.fontsize, settings.notefontsize, settings.popupfontsize};
    std::vector<std::wstring> sizeTexts;
    for (int item = 0; item < FONT_SIZE_ITEMS; ++item)
        sizeTexts.push_back(std::to_wstring(FontSizeOfItem(item)));
    for (int list = 0; list < 3; ++list) {
        FillComboBox(GetDlgItem(page, SIZE_LISTS[list]), sizeTexts);
        SendDlgItemMessageW(page, SIZE_LISTS[list], CB_SETCURSEL, FontSizeItem(sizes[list]), 0);
    }
    FillComboBox(GetDlgItem(page, IDC_OTHER_EDITOR), EDITORS);
    SendDlgItemMessageW(page, IDC_OTHER_EDITOR, CB_SETCURSEL, settings.piminterface, 0);
    checkedEditor = SendDlgItemMessageW(page, IDC_OTHER_EDITOR, CB_GETCURSEL, 0, 0);
    Check(page, IDC_OTHER_CLEARTYPE, settings.cleartypeflag);
    Check(page, IDC_OTHER_PAST_DUE, settings.pastdueflag);
    Check(page, IDC_OTHER_DONE, settings.doneflag);
    Check(page, IDC_OTHER_NOTE_ICON, settings.noteiconflag);
    Check(page, IDC_OTHER_BACKUP, settings.backupdatabaseflag);
    wchar_t backup[300];
    std::swprintf(backup, 300, L"Copy database to '%ls'", GetDocumentsFolder().c_str());
    SetDlgItemTextW(page, IDC_OTHER_BACKUP, backup);
    createdFontSize = settings.fontsize;
    createdNoteFontSize = settings.notefontsize;
    createdClearType = settings.cleartypeflag;
    return TRUE;
}

// Checks each new choice once, however it was made; while the list is open
// the check waits for it to close, so the warning is not hidden behind it.
void FollowEditorChoice(HWND page)
{
    HWND editors = GetDlgItem(page, IDC_OTHER_EDITOR);
    const LRESULT chosen = SendMessageW(editors, CB_GETCURSEL, 0, 0);
    if (chosen == checkedEditor || SendMessageW(editors, CB_GETDROPPEDSTATE, 0, 0))
        return;
    checkedEditor = chosen;
    if (chosen != POCKET_INFORMANT || IsContactEditorInstalled())
        return;
    AppMessageBox(page, L"Sorry, PocketInformant doesn't appear to be installed on this device", L"Warning",
                  APP_MB_WARNING);
    SendMessageW(editors, CB_SETCURSEL, 0, 0);
    checkedEditor = 0;
    settings.piminterface = 0;
}

// Asks the question; on Yes runs the tool and reports its count with
// `found`, or `none` when it is 0. Returns whether the tool ran.
bool RunOrphanTool(HWND page, const wchar_t* question, int (*tool)(), const wchar_t* found, const wchar_t* none)
{
    if (AppMessageBox(page, question, L"Warning", APP_MB_YESNO | APP_MB_WARNING) != 1)
        return false;
    StoreChanges changes;
    const int count = tool();
    if (count < 0)
        return false;  // the tool said why it did nothing
    // A count is no result when some of its changes were not kept; the
    // lists are refilled all the same.
    if (changes.Failed()) {
        ReportStoreFailure(page, L"The orphan records were not all processed", L"try again");
        return true;
    }
    wchar_t report[80];
    if (count >= 1)
        std::swprintf(report, 80, found, count);
    else
        std::swprintf(report, 80, L"%ls", none);
    AppMessageBox(page, report, L"Info Message", 0);
    return true;
}

void OnAssociate(HWND page)
{
    // The marked contact, remembered by id: the refill clears the list's mark.
    const CEOID marked = MarkedContactOid();
    if (RunOrphanTool(page,
                      L"Do you want to link all orphaned activity records to your existing contact entries by "
                      L"doing a 'FileAs' field comparison?",
                      LinkOrphans, L"Linked %d orphan activity records",
                      L"No activity records were linked to existing contact entries")) {
        SetWaitCursor(true);
        FillContactsList();
        ResortByLastActivity();
        const int row = RowOfContact(marked);
        SelectRowByTap(ContactsList(), row < 0 ? 0 : row);
        SetWaitCursor(false);
    }
    SetFocus(page);
}

void OnRemove(HWND page)
{
    RunOrphanTool(page,
                  L"Do you want to remove all activity records from the database that are no longer linked "
                  L"with a Contact entry?",
                  RemoveOrphans, L"Removed %d orphan Activity Records", L"No orphaned activity records were found");
    SetFocus(page);
}

// The lists and the find boxes get the new list font; the columns are fitted
// to their headers in it (the widths are not stored).
void RenewListFont(bool fitColumns)
{
    HFONT previous = hListFont;
    hListFont = CreateAppFont(400, settings.fontsize, settings.cleartypeflag);
    for (HWND control : {ContactsList(), ActivityList(), MainWindowChild(ID_FIND_FIELD_BOX),
                         MainWindowChild(ID_FIND_TEXT_BOX)})
        if (control)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(hListFont), TRUE);
    if (previous)
        DeleteObject(previous);
    if (!fitColumns)
        return;
    for (HWND list : {ContactsList(), ActivityList()}) {
        if (!list)
            continue;
        HWND header = ListView_GetHeader(list);
        const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int c = 0; c < columns && c < FITTED_COLUMNS; ++c)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
    }
}

void RenewNotesFont()
{
    HFONT previous = hNotesFont;
    hNotesFont = CreateAppFont(400, settings.notefontsize, settings.cleartypeflag);
    if (HWND notes = NotesPane())
        SendMessageW(notes, WM_SETFONT, reinterpret_cast<WPARAM>(hNotesFont), TRUE);
    if (previous)
        DeleteObject(previous);
}

void OnApply(HWND page)
{
    settings.cleartypeflag = Checked(page, IDC_OTHER_CLEARTYPE);
    settings.pastdueflag = Checked(page, IDC_OTHER_PAST_DUE);
    settings.doneflag = Checked(page, IDC_OTHER_DONE);
    settings.noteiconflag = Checked(page, IDC_OTHER_NOTE_ICON);
    settings.backupdatabaseflag = Checked(page, IDC_OTHER_BACKUP);
    settings.fontsize = SelectedSize(page, IDC_OTHER_FONT_SIZE, settings.fontsize);
    settings.notefontsize = SelectedSize(page, IDC_OTHER_NOTES_FONT_SIZE, settings.notefontsize);
    settings.popupfontsize = SelectedSize(page, IDC_OTHER_POPUP_FONT_SIZE, settings.popupfontsize);
    const int editor = static_cast<int>(SendDlgItemMessageW(page, IDC_OTHER_EDITOR, CB_GETCURSEL, 0, 0));
    settings.piminterface = editor < 0 ? 0 : editor;

    SaveSetting(&Settings::cleartypeflag);
    SaveSetting(&Settings::pastdueflag);
    SaveSetting(&Settings::doneflag);
    SaveSetting(&Settings::notefontsize);
    SaveSetting(&Settings::fontsize);
    SaveSetting(&Settings::popupfontsize);
    SaveSetting(&Settings::noteiconflag);
    SaveSetting(&Settings::backupdatabaseflag);
    SaveSetting(&Settings::piminterface);

    // A new ClearType choice shows at once too, not only at the next size
    // change; only a new size refits the columns.
    const bool clearTypeChanged = settings.cleartypeflag != createdClearType;
    if (settings.fontsize != createdFontSize || clearTypeChanged)
        RenewListFont(settings.fontsize != createdFontSize);
    if (settings.notefontsize != createdNoteFontSize || clearTypeChanged)
        RenewNotesFont();
    // Done, past-due and note-icon marks are drawn from the flags.
    for (HWND list : {ContactsList(), ActivityList()})
        if (list)
            InvalidateRect(list, nullptr, FALSE);
}

const MessageRow ROWS[] = {
    {WM_INITDIALOG, OnInitDialog},
};

const PageCommand COMMANDS[] = {
    {IDC_OTHER_EDITOR, CBN_SELCHANGE, FollowEditorChoice},
    {IDC_OTHER_EDITOR, CBN_CLOSEUP, FollowEditorChoice},
    {IDC_OTHER_ASSOCIATE, BN_CLICKED, OnAssociate},
    {IDC_OTHER_REMOVE, BN_CLICKED, OnRemove},
};

} // namespace

const SheetPage OTHER_PAGE = {
    3, 88, 93, {IDC_OTHER_FONTS_TITLE}, TITLE_COLOR, true, OnApply, ROWS, ARRAYSIZE(ROWS), COMMANDS, ARRAYSIZE(COMMANDS)};

int FontSizeOfItem(int item)
{
    return item == FONT_SIZE_ITEMS - 1 ? 16 : MIN_FONT_SIZE + item;
}

int FontSizeItem(int size)
{
    if (size >= MIN_FONT_SIZE && size <= 14)
        return size - MIN_FONT_SIZE;
    if (size == 15 || size == 16)
        return FONT_SIZE_ITEMS - 1;
    return -1;
}
