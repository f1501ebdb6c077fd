#include "activity/activity_dialog.h"

#include "activity/reminders.h"
#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "views/contact_name_controls.h"
#include "contacts/field_catalogue.h"
#include "platform/notify/device_clock.h"
#include "platform/notify/notify.h"
#include "platform/shell/aygshell.h"
#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "base/drawing.h"
#include "settings/settings.h"
#include "base/app_handles.h"
#include "base/full_screen_dialog.h"
#include "base/list_controls.h"
#include "base/message_box.h"
#include "base/text.h"
#include "base/window_text.h"
#include "base/wait_cursor.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "store/store_error.h"
#include "store/label_lists.h"
#include "base/input_panel.h"
#include "views/list_views.h"
#include "views/sorting.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cstdlib>
#include <cwchar>

namespace {

constexpr int LINE_SCROLL = 15;
constexpr int CLOSE_FROM_RIGHT = 18;
constexpr int CLOSE_TOP = 3;
constexpr int LABEL_TYPING_LIMIT = 40;
constexpr int NOTES_TYPING_LIMIT = 400;
constexpr COLORREF TITLE_COLOUR = 0x960000;
constexpr COLORREF NOTES_BACKGROUND = 0xB4FFFF;
constexpr int READ_BUFFER = 512;
constexpr int CONTACT_TEXT_CAPACITY = 60;   // the selected contact's name, looked up at open

// The five label fields: their combo, caption, activity field and list.
struct LabelField {
    int combo;
    int caption;
    int activityField;
    const wchar_t* database;
};
const LabelField labelFields[] = {
    {IDC_EVENT_COMBO, IDC_EVENT_LABEL, 2, EVENTS_DATABASE},
    {IDC_NEXT_ACTION_COMBO, IDC_NEXT_ACTION_LABEL, 3, NEXT_ACTION_DATABASE},
    {IDC_USER1_COMBO, IDC_USER1_LABEL, 5, USER1_DATABASE},
    {IDC_USER2_COMBO, IDC_USER2_LABEL, 6, USER2_DATABASE},
    {IDC_USER3_COMBO, IDC_USER3_LABEL, 7, USER3_DATABASE},
};

// One dialog at a time, so its state is the file's.
struct ActivityDialogState {
    CEOID editOid;
    bool isNew;
    ActivityRecord record;
    CEOID* comboContactOids;
    CEOID initialContactOid;
    int loadedDone;
    bool hadReminder;
    wchar_t oldReminderText[REMINDER_TEXT_CAPACITY];
    wchar_t oldReminderTitle[REMINDER_TITLE_CAPACITY];
    int fullHeight;
    int visibleHeight;
    int scrollPos, appliedScrollPos;
    HFONT titleFont;
    HBRUSH notesBrush;
    HBITMAP closeBitmap;
    SHACTIVATEINFO activateInfo;
} state;

int ClientHeight(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

int ScrollLimit()
{
    const int limit = state.fullHeight - state.visibleHeight;
    return limit > 0 ? limit : 0;
}

// The close picture stays at the top right corner whatever was scrolled.
void PlaceClosePicture(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    SetWindowPos(GetDlgItem(dialog, IDC_ACTIVITY_CLOSE), nullptr, client.right - CLOSE_FROM_RIGHT, CLOSE_TOP, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetScrollRangeToContent(HWND dialog)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = 0;
    info.nMax = ScrollLimit();
    info.nPos = 0;
    SetScrollInfo(dialog, SB_VERT, &info, TRUE);
}

void ScrollTo(HWND dialog, int position)
{
    if (position < 0)
        position = 0;
    if (position > ScrollLimit())
        position = ScrollLimit();
    state.scrollPos = position;
    SetScrollPos(dialog, SB_VERT, state.scrollPos, TRUE);
    ScrollWindowEx(dialog, 0, state.appliedScrollPos - state.scrollPos, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    PlaceClosePicture(dialog);
    state.appliedScrollPos = state.scrollPos;
    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
}

// The input panel came or went: the shell fits the dialog above it and the
// content starts again from the top.
void FitToInputPanel(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(dialog, wParam, lParam, &state.activateInfo);
    state.visibleHeight = ClientHeight(dialog);
    if (state.appliedScrollPos)
        ScrollWindowEx(dialog, 0, state.appliedScrollPos, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    state.scrollPos = state.appliedScrollPos = 0;
    SetScrollRangeToContent(dialog);
    PlaceClosePicture(dialog);
}

void SetPickerDate(HWND dialog, int id, const SYSTEMTIME& time)
{
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

double PickerDate(HWND dialog, int id)
{
    SYSTEMTIME time = {};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    double date = 0.0;
    SystemTimeToVariantTime(&time, &date);
    return date;
}

void SetPickerFromOleDate(HWND dialog, int id, double date)
{
    SYSTEMTIME time;
    if (VariantTimeToSystemTime(date, &time))
        SetPickerDate(dialog, id, time);
}

int ComboCount(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

// A control's text, cut to the field's capacity through the one checked copy.
void ReadField(HWND dialog, int id, wchar_t* field, size_t capacity)
{
    ReadWindowText(GetDlgItem(dialog, id), field, capacity);
    TrimSpaces(field);
}

void ContactComboText(HWND dialog, wchar_t* text, size_t capacity)
{
    ReadWindowText(GetDlgItem(dialog, IDC_CONTACT_COMBO), text, capacity);
}

void SetCaption(HWND dialog, int id, int activityField)
{
    wchar_t caption[FIELD_LABEL_CAPACITY + 2];
    std::swprintf(caption, FIELD_LABEL_CAPACITY + 2, L"%ls:", ActivityFieldLabel(activityField));
    SetDlgItemTextW(dialog, id, caption);
}

int ClampReminderIndex(int index)
{
    return index >= 0 && index < REMINDER_CHOICES ? index : 0;
}

// The contacts list's marked contact goes first in the combo's selection;
// by object id first, so two contacts of one name are told apart.
void SelectInitialContact(HWND dialog)
{
    const CEOID marked = MarkedContactOid();
    const int count = ComboCount(dialog, IDC_CONTACT_COMBO);
    int select = 0;
    if (!marked) {
        state.initialContactOid = contactCount > 0 && contactOIDList ? contactOIDList[0] : 0;
    } else {
        state.initialContactOid = marked;
        int found = -1;
        for (int i = 0; i < count && found < 0 && state.comboContactOids; ++i)
            if (state.comboContactOids[i] == state.initialContactOid)
                found = i;
        if (found < 0) {
            wchar_t name[CONTACT_TEXT_CAPACITY];
            GetContactName(state.initialContactOid, name, CONTACT_TEXT_CAPACITY);
            for (int i = 0; i < count && found < 0; ++i) {
                const LRESULT length = SendDlgItemMessageW(dialog, IDC_CONTACT_COMBO, CB_GETLBTEXTLEN, i, 0);
                wchar_t item[CONTACT_TEXT_CAPACITY];
                if (length >= 0 && length < CONTACT_TEXT_CAPACITY &&
                    SendDlgItemMessageW(dialog, IDC_CONTACT_COMBO, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item)) !=
                        CB_ERR &&
                    wcscmp(item, name) == 0)
                    found = i;
            }
        }
        if (found >= 0)
            select = found;
    }
    SendDlgItemMessageW(dialog, IDC_CONTACT_COMBO, CB_SETCURSEL, select, 0);
}

void LoadRecordIntoControls(HWND dialog)
{
    ActivityRecord& record = state.record;
    SetDlgItemTextW(dialog, IDC_EVENT_COMBO, record.event);
    SetDlgItemTextW(dialog, IDC_NEXT_ACTION_COMBO, record.nextAction);
    SetDlgItemTextW(dialog, IDC_NOTES_EDIT, record.notes);
    SetDlgItemTextW(dialog, IDC_USER1_COMBO, record.user1);
    SetDlgItemTextW(dialog, IDC_USER2_COMBO, record.user2);
    SetDlgItemTextW(dialog, IDC_USER3_COMBO, record.user3);
    SendDlgItemMessageW(dialog, IDC_REMINDER_COMBO, CB_SETCURSEL, ClampReminderIndex(record.remindIndex), 0);
    SetPickerFromOleDate(dialog, IDC_DATE_PICKER, record.date);
    SetPickerFromOleDate(dialog, IDC_NEXT_DATE_PICKER, record.nextDate);
    state.loadedDone = record.done;
    state.hadReminder = record.remindIndex > 0;
    if (state.hadReminder) {
        wchar_t contact[READ_BUFFER];
        ContactComboText(dialog, contact, READ_BUFFER);
        FormatReminder(contact, record.nextAction, record.nextDate, state.oldReminderTitle, REMINDER_TITLE_CAPACITY,
                       state.oldReminderText, REMINDER_TEXT_CAPACITY);
    }
}

BOOL OnInitDialog(HWND dialog, LPARAM parameter)
{
    state = ActivityDialogState();
    state.editOid = static_cast<CEOID>(parameter);
    state.isNew = state.editOid == NEW_ACTIVITY_RECORD;
    state.fullHeight = ClientHeight(dialog);

    for (const LabelField& field : labelFields) {
        HWND combo = GetDlgItem(dialog, field.combo);
        SendMessageW(combo, CB_LIMITTEXT, LABEL_TYPING_LIMIT, 0);
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(combo, &info) && info.hwndItem)
            SendMessageW(info.hwndItem, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
    }
    SendDlgItemMessageW(dialog, IDC_NOTES_EDIT, EM_LIMITTEXT, NOTES_TYPING_LIMIT, 0);

    SetDlgItemTextW(dialog, IDC_CONTACT_LABEL, L"Contact:");
    SetCaption(dialog, IDC_DATE_LABEL, 0);
    SetCaption(dialog, IDC_NEXT_DATE_LABEL, 1);
    SetCaption(dialog, IDC_NOTES_LABEL, 4);
    for (const LabelField& field : labelFields)
        SetCaption(dialog, field.caption, field.activityField);

    FillComboBox(GetDlgItem(dialog, IDC_REMINDER_COMBO), reminderChoices,
                 ClampReminderIndex(settings.remindindex));

    MakeDialogFullScreen(dialog);
    if (hasKeyboard == 0)
        SipShowIM(SIPF_ON);
    FitToInputPanel(dialog, SPI_SETSIPINFO, 0);

    state.titleFont = CreateAppFont(700, 13, 0);
    SendDlgItemMessageW(dialog, IDC_ACTIVITY_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(state.titleFont), FALSE);
    state.notesBrush = CreateSolidBrush(NOTES_BACKGROUND);
    state.closeBitmap = LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(IDB_CLOSE));
    SendDlgItemMessageW(dialog, IDC_ACTIVITY_CLOSE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(state.closeBitmap));
    PlaceClosePicture(dialog);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    SetWaitCursor(true);

    for (const LabelField& field : labelFields)
        FillComboBox(GetDlgItem(dialog, field.combo), ReadLabels(field.database));
    FillContactCombo(GetDlgItem(dialog, IDC_CONTACT_COMBO), &state.comboContactOids);
    SelectInitialContact(dialog);

    SYSTEMTIME now;
    GetDeviceLocalTime(&now);
    SetPickerDate(dialog, IDC_DATE_PICKER, now);
    SetPickerDate(dialog, IDC_NEXT_DATE_PICKER, now);

    if (!state.isNew && ReadActivityRecordDB(activityDatabase, state.editOid, &state.record))
        LoadRecordIntoControls(dialog);

    SetWaitCursor(false);
    if (hasKeyboard == 0)
        SipShowIM(SIPF_ON);
    return TRUE;
}

// Date rule: the Next Date never stays before a newly chosen Date.
void OnDateChanged(HWND dialog)
{
    if (PickerDate(dialog, IDC_NEXT_DATE_PICKER) >= PickerDate(dialog, IDC_DATE_PICKER))
        return;
    SYSTEMTIME date = {};
    SendDlgItemMessageW(dialog, IDC_DATE_PICKER, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    SetPickerDate(dialog, IDC_NEXT_DATE_PICKER, date);
}

void AddTypedLabels()
{
    const ActivityRecord& record = state.record;
    const wchar_t* values[] = {record.event, record.nextAction, record.user1, record.user2, record.user3};
    for (size_t i = 0; i < ARRAYSIZE(labelFields); ++i)
        if (values[i][0])
            AddLabelIfMissing(labelFields[i].database, values[i]);
}

void Save(HWND dialog)
{
    SetWaitCursor(true);
    const int selected = static_cast<int>(SendDlgItemMessageW(dialog, IDC_CONTACT_COMBO, CB_GETCURSEL, 0, 0));
    // Without a listed contact there is no object id to file the activity
    // under: the user is told and the dialog stays open.
    if (selected < 0 || selected >= ComboCount(dialog, IDC_CONTACT_COMBO) || !state.comboContactOids) {
        SetWaitCursor(false);
        AppMessageBox(dialog, NO_CONTACT_MESSAGE, L"Warning", APP_MB_WARNING);
        return;
    }

    ActivityRecord& record = state.record;
    ReadField(dialog, IDC_EVENT_COMBO, record.event, LABEL_CAPACITY);
    ReadField(dialog, IDC_NEXT_ACTION_COMBO, record.nextAction, LABEL_CAPACITY);
    ReadField(dialog, IDC_NOTES_EDIT, record.notes, NOTES_CAPACITY);
    ReadField(dialog, IDC_USER1_COMBO, record.user1, LABEL_CAPACITY);
    ReadField(dialog, IDC_USER2_COMBO, record.user2, LABEL_CAPACITY);
    ReadField(dialog, IDC_USER3_COMBO, record.user3, LABEL_CAPACITY);
    record.lastFlag = FALSE;
    record.remindIndex =
        ClampReminderIndex(static_cast<int>(SendDlgItemMessageW(dialog, IDC_REMINDER_COMBO, CB_GETCURSEL, 0, 0)));
    record.done = state.loadedDone;
    record.date = PickerDate(dialog, IDC_DATE_PICKER);
    record.nextDate = PickerDate(dialog, IDC_NEXT_DATE_PICKER);
    const CEOID chosen = state.comboContactOids[selected];
    record.contactOid = chosen;
    GetContactName(chosen, record.fileAs, LABEL_CAPACITY);

    // What was typed stays in the dialog for a second try, and no reminder
    // is armed for an activity that was not saved.
    if (!WriteActivityRecordDB(activityDatabase, state.editOid, record)) {
        SetWaitCursor(false);
        ReportStoreFailure(dialog, L"The activity could not be saved", L"save again");
        return;
    }

    StoreChanges followUp;
    UpdateLastActivityFlag(activityDatabase, chosen);
    if (chosen != state.initialContactOid && state.initialContactOid)
        UpdateLastActivityFlag(activityDatabase, state.initialContactOid);
    SipShowIM(SIPF_OFF);
    ShowSavedActivity(chosen, state.isNew);
    if (settings.addlabelsflag == 1)
        AddTypedLabels();
    if (followUp.Failed())
        ReportStoreFailure(dialog, L"The activity was saved, but its contact's latest mark or its new labels were not",
                           L"save it again");
    if (state.hadReminder)
        ClearReminder(state.oldReminderText, state.oldReminderTitle);
    if (record.remindIndex > 0) {
        wchar_t contact[READ_BUFFER], title[REMINDER_TITLE_CAPACITY], text[REMINDER_TEXT_CAPACITY];
        ContactComboText(dialog, contact, READ_BUFFER);
        FormatReminder(contact, record.nextAction, record.nextDate, title, REMINDER_TITLE_CAPACITY, text,
                       REMINDER_TEXT_CAPACITY);
        ScheduleReminder(text, title, ReminderTime(record.nextDate, record.remindIndex), PUN_LED | PUN_DIALOG);
    }

    SetWaitCursor(false);
    settings.remindindex = record.remindIndex;
    SaveSetting(&Settings::remindindex);
    EndDialog(dialog, 0);
}

void CloseWithoutSaving(HWND dialog)
{
    SipShowIM(SIPF_OFF);
    EndDialog(dialog, 0);
}

void OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDOK:
        Save(dialog);
        break;
    case IDCANCEL:
        CloseWithoutSaving(dialog);
        break;
    case IDC_ACTIVITY_CLOSE:
        if (code == STN_CLICKED)
            CloseWithoutSaving(dialog);
        break;
    case IDC_NOTES_EDIT:
        if (code == EN_SETFOCUS && !IsInputPanelShown() && hasKeyboard == 0) {
            // The panel would cover the notes: raise it and bring them up.
            SipShowIM(SIPF_ON);
            ScrollTo(dialog, state.scrollPos + state.visibleHeight);
        } else if (code == EN_CHANGE) {
            InvalidateRect(GetDlgItem(dialog, IDC_NOTES_EDIT), nullptr, TRUE);
        }
        break;
    }
}

void OnVerticalScroll(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        ScrollTo(dialog, state.scrollPos - LINE_SCROLL);
        break;
    case SB_LINEDOWN:
        ScrollTo(dialog, state.scrollPos + LINE_SCROLL);
        break;
    case SB_PAGEUP:
        ScrollTo(dialog, state.scrollPos - state.visibleHeight);
        break;
    case SB_PAGEDOWN:
        ScrollTo(dialog, state.scrollPos + state.visibleHeight);
        break;
    case SB_THUMBTRACK:
        ScrollTo(dialog, HIWORD(wParam));
        break;
    }
}

void OnDestroy()
{
    if (state.notesBrush)
        DeleteObject(state.notesBrush);
    if (state.titleFont)
        DeleteObject(state.titleFont);
    if (state.closeBitmap)
        DeleteObject(state.closeBitmap);
    std::free(state.comboContactOids);
    state.notesBrush = nullptr;
    state.titleFont = nullptr;
    state.closeBitmap = nullptr;
    state.comboContactOids = nullptr;
}

} // namespace

INT_PTR CALLBACK ActivityDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, lParam);
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_DATE_PICKER || header->code != DTN_DATETIMECHANGE)
            return FALSE;
        OnDateChanged(dialog);
        return TRUE;
    }
    case WM_VSCROLL:
        OnVerticalScroll(dialog, wParam);
        return TRUE;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETSIPINFO)
            FitToInputPanel(dialog, wParam, lParam);
        return TRUE;
    case WM_ACTIVATE:
        SHHandleWMActivate(dialog, wParam, lParam, &state.activateInfo, FALSE);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ACTIVITY_TITLE) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, TITLE_COLOUR);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        }
        return FALSE;
    case WM_CTLCOLOREDIT:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_NOTES_EDIT) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, NOTES_BACKGROUND);
            return reinterpret_cast<INT_PTR>(state.notesBrush);
        }
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    }
    return FALSE;
}

void ShowActivityDialog(HWND mainWindow, LONG oid)
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_ACTIVITY), mainWindow,
                    ActivityDialogProc, static_cast<LPARAM>(static_cast<ULONG>(oid)));
}
