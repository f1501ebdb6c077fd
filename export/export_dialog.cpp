#include "export/export_dialog.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "base/full_screen_dialog.h"
#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/wait_cursor.h"
#include "export/csv_writer.h"
#include "export/html_writer.h"
#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "views/contact_name_controls.h"

#include <cstdlib>
#include <initializer_list>
#include <vector>

const wchar_t NO_EXPORT_CONTACT_MESSAGE[] = L"You need to select at least one contact name from the list!";

namespace {

constexpr int FORMAT_CSV = 0;
constexpr int FORMAT_HTML = 1;
const wchar_t* const FORMATS[] = {L"CSV File Format", L"HTML File Format"};
constexpr RECT FRAME = {6, 2, 234, 264};
constexpr int FRAME_CORNER = 4;
constexpr COLORREF FRAME_INNER = 0x0000FF00;
constexpr COLORREF FRAME_OUTER = 0x00000000;
constexpr COLORREF CAPTION_COLOUR = 0x00990000;
constexpr int CAPTION_WEIGHT = 700;
constexpr int CAPTION_HEIGHT = 12;

// One dialog at a time, so its state is the file's.
struct ExportDialogState {
    CEOID* contactOids;   // parallel to the contact list
    HFONT captionFont;
    SHACTIVATEINFO activateInfo;
} state;

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

bool IsCaption(int id)
{
    return id == IDC_EXPORT_CONTACTS_CAPTION || id == IDC_EXPORT_CONTACT_FIELDS_CAPTION ||
           id == IDC_EXPORT_ACTIVITY_FIELDS_CAPTION;
}

void SelectAll(HWND dialog, int list, bool select)
{
    SendDlgItemMessageW(dialog, list, LB_SETSEL, select ? TRUE : FALSE, static_cast<LPARAM>(-1));
}

// The selected positions of a multiple-selection list, ascending.
std::vector<int> SelectedPositions(HWND dialog, int list)
{
    return SelectedItems(GetDlgItem(dialog, list));
}

void FillContacts(HWND dialog, int useFilter)
{
    SetWaitCursor(true);
    FillContactListBox(Item(dialog, IDC_EXPORT_CONTACTS), useFilter, &state.contactOids);
    SetWaitCursor(false);
}

void FillFieldList(HWND dialog, int list, int fieldCount, const wchar_t* (*label)(int), int chosenCount,
                   const int* chosen)
{
    FillListBox(Item(dialog, list), TextsOf(label, fieldCount));
    SelectListItems(Item(dialog, list), chosen, chosenCount);
    // Selecting scrolls to each entry; the list opens at its start.
    SendDlgItemMessageW(dialog, list, LB_SETTOPINDEX, 0, 0);
}

int ChosenFormat(HWND dialog)
{
    const LRESULT format = SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0);
    return format == FORMAT_HTML ? FORMAT_HTML : FORMAT_CSV;
}

BOOL OnInitDialog(HWND dialog)
{
    state = ExportDialogState();
    MakeDialogFullScreen(dialog);

    state.captionFont = CreateAppFont(CAPTION_WEIGHT, CAPTION_HEIGHT, 0);
    for (int id : {IDC_EXPORT_CONTACTS_CAPTION, IDC_EXPORT_CONTACT_FIELDS_CAPTION, IDC_EXPORT_ACTIVITY_FIELDS_CAPTION})
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(state.captionFont), FALSE);

    SetWaitCursor(true);
    FillComboBox(Item(dialog, IDC_EXPORT_FORMAT), FORMATS,
                 settings.exportformat == FORMAT_HTML ? FORMAT_HTML : FORMAT_CSV);
    CheckDlgButton(dialog, IDC_EXPORT_FILTER, settings.filterexportflag == 1 ? BST_CHECKED : BST_UNCHECKED);
    FillContactListBox(Item(dialog, IDC_EXPORT_CONTACTS), settings.filterexportflag == 1 ? 1 : 0, &state.contactOids);
    FillFieldList(dialog, IDC_EXPORT_CONTACT_FIELDS, CONTACT_FIELD_COUNT, ContactFieldLabel,
                  settings.numexportcontactfield, settings.exportcontactfield);
    FillFieldList(dialog, IDC_EXPORT_ACTIVITY_FIELDS, ACTIVITY_FIELD_COUNT, ActivityFieldLabel,
                  settings.numexportactivityfield, settings.exportactivityfield);
    SetWaitCursor(false);
    return TRUE;
}

void OnFilterClicked(HWND dialog)
{
    settings.filterexportflag = IsDlgButtonChecked(dialog, IDC_EXPORT_FILTER) == BST_CHECKED ? 1 : 0;
    SaveSetting(&Settings::filterexportflag);
    FillContacts(dialog, settings.filterexportflag);
}

void RunExport(HWND dialog)
{
    const std::vector<int> activityFields = SelectedPositions(dialog, IDC_EXPORT_ACTIVITY_FIELDS);
    const std::vector<int> contactFields = SelectedPositions(dialog, IDC_EXPORT_CONTACT_FIELDS);
    const std::vector<int> contacts = SelectedPositions(dialog, IDC_EXPORT_CONTACTS);
    if (contacts.empty() || !state.contactOids) {
        AppMessageBox(dialog, NO_EXPORT_CONTACT_MESSAGE, L"Warning", APP_MB_WARNING);
        return;
    }
    // Kept for the next opening of the dialog; only Done stores it.
    settings.exportformat = ChosenFormat(dialog);
    auto writer = settings.exportformat == FORMAT_HTML ? ExportHtml : ExportCsv;
    writer(state.contactOids, static_cast<int>(activityFields.size()), static_cast<int>(contactFields.size()),
           static_cast<int>(contacts.size()), activityFields.data(), contactFields.data(), contacts.data());
}

// Puts the chosen positions into a settings array of count + 1 entries;
// false, leaving the array and its count as they were, when it cannot grow.
bool KeepChoice(const std::vector<int>& positions, int** array, int* count)
{
    void* grown = std::realloc(*array, (positions.size() + 1) * sizeof(int));
    if (!grown)
        return false;
    *array = static_cast<int*>(grown);
    for (size_t i = 0; i < positions.size(); ++i)
        (*array)[i] = positions[i];
    (*array)[positions.size()] = 0;
    *count = static_cast<int>(positions.size());
    return true;
}

void OnDone(HWND dialog)
{
    settings.exportformat = ChosenFormat(dialog);
    SaveSetting(&Settings::exportformat);
    const bool contactKept = KeepChoice(SelectedPositions(dialog, IDC_EXPORT_CONTACT_FIELDS),
                                        &settings.exportcontactfield, &settings.numexportcontactfield);
    const bool activityKept = KeepChoice(SelectedPositions(dialog, IDC_EXPORT_ACTIVITY_FIELDS),
                                         &settings.exportactivityfield, &settings.numexportactivityfield);
    if (contactKept)
        SaveSettingEntries(&Settings::exportcontactfield, 0, settings.numexportcontactfield);
    if (activityKept)
        SaveSettingEntries(&Settings::exportactivityfield, 0, settings.numexportactivityfield);
    if (contactKept)
        SaveSetting(&Settings::numexportcontactfield);
    if (activityKept)
        SaveSetting(&Settings::numexportactivityfield);
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDC_EXPORT_CONTACTS_ALL:
    case IDC_EXPORT_CONTACTS_NONE:
        SelectAll(dialog, IDC_EXPORT_CONTACTS, id == IDC_EXPORT_CONTACTS_ALL);
        break;
    case IDC_EXPORT_CONTACT_FIELDS_ALL:
    case IDC_EXPORT_CONTACT_FIELDS_NONE:
        SelectAll(dialog, IDC_EXPORT_CONTACT_FIELDS, id == IDC_EXPORT_CONTACT_FIELDS_ALL);
        break;
    case IDC_EXPORT_ACTIVITY_FIELDS_ALL:
    case IDC_EXPORT_ACTIVITY_FIELDS_NONE:
        SelectAll(dialog, IDC_EXPORT_ACTIVITY_FIELDS, id == IDC_EXPORT_ACTIVITY_FIELDS_ALL);
        break;
    case IDC_EXPORT_FILTER:
        if (code == BN_CLICKED)
            OnFilterClicked(dialog);
        break;
    case IDC_EXPORT_FORMAT:
        if (code == CBN_CLOSEUP)
            SetFocus(Item(dialog, IDC_EXPORT_CONTACTS));
        break;
    case IDC_EXPORT_RUN:
        RunExport(dialog);
        break;
    case IDOK:
        OnDone(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

void OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DrawRoundFrame(dc, FRAME.left, FRAME.top, FRAME.right, FRAME.bottom, FRAME_CORNER, FRAME_INNER, FRAME_OUTER);
    SelectObject(dc, oldBrush);
    EndPaint(dialog, &paint);
}

INT_PTR OnColorStatic(HDC dc, HWND control)
{
    if (IsCaption(GetDlgCtrlID(control))) {
        SetTextColor(dc, CAPTION_COLOUR);
        SelectObject(dc, state.captionFont);
    }
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

void OnDestroy()
{
    std::free(state.contactOids);
    state.contactOids = nullptr;
    if (state.captionFont)
        DeleteObject(state.captionFont);
    state.captionFont = nullptr;
}

INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        SHHandleWMActivate(dialog, wParam, lParam, &state.activateInfo, FALSE);
        return TRUE;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(dialog, wParam, lParam, &state.activateInfo);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowExportDialog(HWND mainWindow)
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_EXPORT), mainWindow, ExportDialogProc, 0);
}
