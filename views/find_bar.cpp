#include "views/find_bar.h"

#include <commctrl.h>

#include <vector>

#include "base/app_handles.h"
#include "base/list_controls.h"
#include "base/wait_cursor.h"
#include "platform/shell/sipapi.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "views/alphabet_index.h"
#include "views/header_band.h"
#include "views/list_rows.h"
#include "views/list_views.h"
#include "views/notes_pane.h"
#include "views/painting_held.h"
#include "views/pane_layout.h"

int findButtonPressed = 0;

namespace {

enum FindButton { NO_BUTTON, CONTACTS_MODE_BUTTON, ACTIVITIES_MODE_BUTTON, GO_BUTTON };

// The button the pen went down on; it acts only when the pen comes up on it.
FindButton pressedButton = NO_BUTTON;
WNDPROC previousTextBoxProc;
// Whether a contacts find has run since the bar was shown: only then does
// hiding it have a narrowed contacts list to fill again, which on a large
// address book takes a while.
bool contactsFound = false;

// The strip under the band that the bar's painting covers.
constexpr int BAR_TOP = HEADER_BAND_HEIGHT;
constexpr RECT MODE_BUTTONS_AREA = {3, 18, 46, 39};

HWND FieldBox() { return MainWindowChild(ID_FIND_FIELD_BOX); }
HWND TextBox() { return MainWindowChild(ID_FIND_TEXT_BOX); }

int ClientWidth(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.right;
}

FindButton ButtonAt(HWND mainWindow, int x, int y)
{
    if (!findBarVisible || y < 19 || y > 38)
        return NO_BUTTON;
    if (x >= 5 && x < 23)
        return CONTACTS_MODE_BUTTON;
    if (x >= 27 && x < 45)
        return ACTIVITIES_MODE_BUTTON;
    const int width = ClientWidth(mainWindow);
    if (x > width - 26 && x < width - 4)
        return GO_BUTTON;
    return NO_BUTTON;
}

void Repaint(HWND window, const RECT& area, BOOL erase)
{
    InvalidateRect(window, &area, erase);
    UpdateWindow(window);
}

void RepaintGoButton(HWND mainWindow)
{
    const int width = ClientWidth(mainWindow);
    Repaint(mainWindow, {width - 26, 19, width - 4, 38}, FALSE);
}

void ShowFindControls(int show)
{
    for (HWND control : {FieldBox(), TextBox()})
        if (control)
            ShowWindow(control, show);
}

void SetMode(HWND mainWindow, int mode)
{
    if (findMode == mode)
        return;
    findMode = mode;
    // A text found in the other mode's field does not carry over: the new
    // mode filters only once go has run in it.
    findText[0] = 0;
    Repaint(mainWindow, MODE_BUTTONS_AREA, FALSE);
    FillFindFieldBox(mode);
}

// The contacts list's marked row made visible and tapped, as after any
// change of the bar.
void SelectMarkedContact(int row)
{
    HWND contacts = ContactsList();
    if (!contacts || row < 0)
        return;
    SendMessageW(contacts, LVM_ENSUREVISIBLE, row, FALSE);
    SelectRowByTap(contacts, row);
}

void Refresh(HWND list)
{
    if (list) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
}

void ShowFindBar(HWND mainWindow)
{
    findBarVisible = 1;
    // The text left in the box applies only once go reads it again.
    findText[0] = 0;
    listTop = LIST_TOP_FIND_BAR;
    // The splitters keep clear of the bar. An upper splitter pushed down
    // lands where Roll Up closes the contacts list, one pixel above the list
    // top, so Roll Down still finds the layout it left.
    if (settings.sb1top < listTop - 1) {
        settings.sb1top = listTop - 1;
        MoveSplitter(hUpperSplitter, settings.sb1top);
    }
    if (settings.sb2top < listTop + 7) {
        settings.sb2top = settings.sb1top + 6;
        MoveSplitter(hLowerSplitter, settings.sb2top);
    }
    ShowFindControls(SW_SHOW);
    if (!hasKeyboard)
        SipShowIM(SIPF_ON);
    LayoutPanes();
    Repaint(mainWindow, {0, BAR_TOP, ClientWidth(mainWindow), LIST_TOP_FIND_BAR}, TRUE);
    SelectMarkedContact(MarkedContactRow());
    if (HWND text = TextBox())
        SetFocus(text);
}

void HideFindBar()
{
    // The input panel goes first: it hands back the splitter places it took
    // from, and the adjustments below start from those.
    SipShowIM(SIPF_OFF);
    const CEOID marked = MarkedContactOid();
    const int shownTop = listTop;
    findBarVisible = 0;
    listTop = LIST_TOP_PLAIN;
    // A layout closed against the bar stays closed against the band.
    if (settings.sb1top <= shownTop) {
        if (settings.sb2top <= shownTop + 6) {
            settings.sb2top = listTop + 5;
            MoveSplitter(hLowerSplitter, settings.sb2top);
        }
        settings.sb1top = listTop - 1;
        MoveSplitter(hUpperSplitter, settings.sb1top);
    }
    ShowFindControls(SW_HIDE);
    LayoutPanes();

    if (contactsFound) {
        SetWaitCursor(true);
        FillContactsList();
        SetWaitCursor(false);
        contactsFound = false;
    }
    Refresh(ContactsList());
    Refresh(ActivityList());
    if (HWND contacts = ContactsList())
        SetFocus(contacts);
    // The contact marked in the narrowed list stays marked among all; the
    // tap on it reloads its activities without an activity find.
    const int row = RowOfContact(marked);
    SelectMarkedContact(row >= 0 ? row : (contactCount > 0 ? 0 : -1));
}

// Enter in the text box runs the find, as the go button does.
LRESULT CALLBACK TextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && wParam == VK_RETURN) {
        RunFind(hMainWindow);
        return 0;
    }
    return CallWindowProcW(previousTextBoxProc, box, message, wParam, lParam);
}

}  // namespace

void CreateFindControls(HWND mainWindow)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    const int width = (client.right - 82) / 2;
    HWND box = CreateWindowExW(0, WC_COMBOBOXW, L"Find", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, 49, 19, width,
                               client.bottom - 23, mainWindow,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FIND_FIELD_BOX)), hInstance, nullptr);
    HWND text = CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, width + 53, 19, width, 20,
                                mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FIND_TEXT_BOX)),
                                hInstance, nullptr);
    if (text) {
        SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        previousTextBoxProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextBoxProc)));
    }
    for (HWND control : {box, text})
        if (control)
            SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ResetFindBar()
{
    ResetFindState();
    listTop = LIST_TOP_PLAIN;
    findButtonPressed = 0;
    pressedButton = NO_BUTTON;
    contactsFound = false;
    ResetAlphabetIndex();
}

void FillFindFieldBox(int mode)
{
    HWND box = FieldBox();
    if (!box)
        return;
    // Finding contacts offers their fields before the activity fields.
    std::vector<std::wstring> labels;
    if (mode == FIND_MODE_CONTACTS)
        labels = TextsOf(ContactFieldLabel, CONTACT_FIELD_COUNT);
    const std::vector<std::wstring> activityLabels = TextsOf(ActivityFieldLabel, ACTIVITY_FIELD_COUNT);
    labels.insert(labels.end(), activityLabels.begin(), activityLabels.end());
    FillComboBox(box, labels,
                 mode == FIND_MODE_CONTACTS ? settings.lastcontactfindfield : settings.lastactivityfindfield);
}

void ToggleFindBar(HWND mainWindow)
{
    if (findBarVisible)
        HideFindBar();
    else
        ShowFindBar(mainWindow);
}

void OnFindFieldBoxCommand(HWND, WORD notifyCode)
{
    // A choice made with the keys while the list is closed counts as well
    // as one made in the dropped-down list.
    if (notifyCode != CBN_CLOSEUP && notifyCode != CBN_SELCHANGE)
        return;
    HWND box = FieldBox();
    const int chosen = box ? static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)) : CB_ERR;
    if (chosen >= 0) {
        int Settings::*member =
            findMode == FIND_MODE_CONTACTS ? &Settings::lastcontactfindfield : &Settings::lastactivityfindfield;
        if (settings.*member != chosen || notifyCode == CBN_CLOSEUP) {
            settings.*member = chosen;
            SaveSetting(member);
        }
    }
    if (notifyCode == CBN_CLOSEUP)
        if (HWND text = TextBox())
            SetFocus(text);
}

void FindBarPenDown(HWND mainWindow, int x, int y)
{
    if (y >= 0 && y <= 17) {
        TapIndexGroup(IndexGroupAt(x));
        return;
    }
    const FindButton button = ButtonAt(mainWindow, x, y);
    if (button == NO_BUTTON)
        return;
    pressedButton = button;
    findButtonPressed = 1;
    // The pen up must come back here even when it leaves the button.
    SetCapture(mainWindow);
    RepaintGoButton(mainWindow);
}

void FindBarPenUp(HWND mainWindow, int x, int y)
{
    if (pressedButton == NO_BUTTON)
        return;
    const FindButton pressed = pressedButton;
    pressedButton = NO_BUTTON;
    findButtonPressed = 0;
    if (GetCapture() == mainWindow)
        ReleaseCapture();
    RepaintGoButton(mainWindow);
    // Sliding off a button before lifting the pen cancels it.
    if (ButtonAt(mainWindow, x, y) != pressed)
        return;
    switch (pressed) {
    case CONTACTS_MODE_BUTTON:
        SetMode(mainWindow, FIND_MODE_CONTACTS);
        break;
    case ACTIVITIES_MODE_BUTTON:
        SetMode(mainWindow, FIND_MODE_ACTIVITIES);
        break;
    case GO_BUTTON:
        RunFind(mainWindow);
        break;
    case NO_BUTTON:
        break;
    }
}

void RunFind(HWND)
{
    PaintingHeld held({ContactsList(), ActivityList(), NotesPane()});
    ShowNotes(L"");
    HWND textBox = TextBox();
    std::vector<wchar_t> typed(1, 0);
    if (textBox) {
        typed.resize(static_cast<size_t>(GetWindowTextLengthW(textBox)) + 1);
        GetWindowTextW(textBox, typed.data(), static_cast<int>(typed.size()));
    }
    SetFindText(typed.data());

    HWND contacts = ContactsList();
    HWND activities = ActivityList();
    if (findMode == FIND_MODE_ACTIVITIES) {
        SetWaitCursor(true);
        LoadActivitiesOfContact();
        SetWaitCursor(false);
        if (contacts)
            SetFocus(contacts);
        Refresh(activities);
    } else {
        contactsFound = true;
        SetWaitCursor(true);
        FillContactsList();
        SetWaitCursor(false);
        Refresh(contacts);
        if (contacts && contactCount > 0) {
            SendMessageW(contacts, LVM_ENSUREVISIBLE, 0, FALSE);
            SelectRowByTap(contacts, 0);
        }
    }
    if (HWND notes = NotesPane())
        EnableWindow(notes, activityCount > 0);
    SelectRowByTap(activities, 0);
}
