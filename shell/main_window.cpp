#include "shell/main_window.h"

#include "activity/activity_commands.h"
#include "contacts/contact_commands.h"
#include "contacts/contact_source.h"
#include "export/export_commands.h"
#include "platform/poom/poom_server.h"
#include "settings/settings_sheet.h"
#include "shell/app_bitmaps.h"
#include "shell/app_menu_bar.h"
#include "shell/app_state.h"
#include "shell/dispatch.h"
#include "shell/header_band.h"
#include "shell/pane_layout.h"
#include "shell/view_resources.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/store_commands.h"
#include "views/find_bar.h"
#include "views/list_views.h"

#include <commctrl.h>

// Sent by the database service when a watched database changes.
#ifndef WM_DBNOTIFICATION
#define WM_DBNOTIFICATION 0x03FD
#endif

// One-shot timer that switches the device's contact card to its summary.
constexpr UINT_PTR SUMMARY_TIMER = 1;

static void FocusContactsList(HWND window)
{
    if (HWND list = GetDlgItem(window, ID_CONTACTS_LIST))
        SetFocus(list);
}

// ---- Messages -----------------------------------------------------------------

static LRESULT OnCreate(HWND window, UINT, WPARAM, LPARAM)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    SHShellLibraryInit();
    CreateAppMenuBar(window);
    if (hMenuBar) {
        ShowWindow(hMenuBar, SW_SHOW);
        UpdateWindow(hMenuBar);
    }
    // The contact object model's class object, for the connection that
    // start-up opens (on the device the system registers it).
    RegisterPoomServer();
    return 0;
}

static LRESULT OnPaint(HWND window, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintHeaderBand(window, dc);
    EndPaint(window, &paint);
    return 0;
}

// Low memory: a program in the background gives up its menu bar.
static LRESULT OnHibernate(HWND window, UINT, WPARAM, LPARAM)
{
    if (GetActiveWindow() != window)
        DestroyAppMenuBar();
    return 0;
}

static LRESULT OnActivate(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != WA_INACTIVE && !hMenuBar)
        CreateAppMenuBar(window);
    SHHandleWMActivate(window, wParam, lParam, &shellActivateInfo, FALSE);
    return 0;
}

static LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM)
{
    DestroyAppMenuBar();
    DeleteAppBitmaps();
    DeleteViewBrushesAndFonts();
    DestroyNoteIcon();
    CloseStoreHandles();
    FreeListArrays();
    CloseOutlookConnection();
    RevokePoomServer();
    FreeSettingArrays();
    hMainWindow = nullptr;
    PostQuitMessage(0);
    return 0;
}

static LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

static LRESULT OnClose(HWND window, UINT, WPARAM, LPARAM)
{
    DestroyAppMenuBar();
    DestroyWindow(window);
    return 0;
}

static LRESULT OnNotify(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    return OnListNotify(window, wParam, lParam);
}

static LRESULT OnTimer(HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam != SUMMARY_TIMER)
        return 0;
    KillTimer(window, SUMMARY_TIMER);
    SwitchContactCardToSummary();
    return 1;
}

static LRESULT OnSettingChange(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    return OnLayoutSettingChange(window, wParam, lParam);
}

static LRESULT OnCtlColorEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != ID_NOTES_PANE)
        return DefWindowProcW(window, message, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, notestextcolor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(hNotesBrush);
}

static LRESULT OnInitMenuPopup(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

static LRESULT OnDbNotification(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    return OnContactsDatabaseChanged(window, wParam, lParam);
}

static LRESULT OnPenDown(HWND window, UINT, WPARAM, LPARAM lParam)
{
    FindBarPenDown(window, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

static LRESULT OnPenUp(HWND window, UINT, WPARAM, LPARAM lParam)
{
    FindBarPenUp(window, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

static const MessageRow messageTable[] = {
    {WM_CREATE, OnCreate},
    {WM_PAINT, OnPaint},
    {WM_HIBERNATE, OnHibernate},
    {WM_ACTIVATE, OnActivate},
    {WM_DESTROY, OnDestroy},
    {WM_COMMAND, OnCommand},
    {WM_CLOSE, OnClose},
    {WM_NOTIFY, OnNotify},
    {WM_TIMER, OnTimer},
    {WM_SETTINGCHANGE, OnSettingChange},
    {WM_CTLCOLOREDIT, OnCtlColorEdit},
    {WM_INITMENUPOPUP, OnInitMenuPopup},
    {WM_DBNOTIFICATION, OnDbNotification},
    {WM_LBUTTONDOWN, OnPenDown},
    {WM_LBUTTONUP, OnPenUp},
};

// ---- Commands -----------------------------------------------------------------

static LRESULT OnAbout(HWND window, WORD, HWND, WORD)
{
    ShowAboutBox(window);
    return 1;
}

static LRESULT OnExit(HWND window, WORD, HWND, WORD)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    return 1;
}

// The sheet may have changed the notes colour: the brush follows it.
static LRESULT OnSettings(HWND window, WORD, HWND, WORD)
{
    ShowSettingsSheet(window);
    if (hNotesBrush)
        DeleteObject(hNotesBrush);
    hNotesBrush = CreateSolidBrush(notesbkgcolor);
    return 1;
}

static LRESULT OnNewContact(HWND window, WORD, HWND, WORD)
{
    if (piminterface)
        ShowContactInEditor(0);
    else if (!OpenContactEditor(0))
        return 1;
    SelectRowByTap(GetDlgItem(window, ID_CONTACTS_LIST), 0);
    return 1;
}

static LRESULT OnNewActivity(HWND window, WORD, HWND, WORD)
{
    ShowActivityDialog(window, -1);
    // The dialog may have moved the input panel; older shells do not lay
    // the panes out again by themselves.
    if (osGeneration < OS_GENERATION_2003)
        SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    FocusContactsList(window);
    if (HWND contacts = GetDlgItem(window, ID_CONTACTS_LIST)) {
        if (currentContactIndex >= 0)
            SendMessageW(contacts, LVM_ENSUREVISIBLE, currentContactIndex, FALSE);
        InvalidateRect(contacts, nullptr, TRUE);
        UpdateWindow(contacts);
    }
    return 1;
}

static LRESULT OnRollUp(HWND window, WORD, HWND, WORD)
{
    RollUp(window);
    return 1;
}

static LRESULT OnRollDown(HWND window, WORD, HWND, WORD)
{
    RollDown(window);
    return 1;
}

static LRESULT OnFind(HWND window, WORD, HWND, WORD)
{
    ToggleFindBar(window);
    return 1;
}

static LRESULT OnExport(HWND window, WORD, HWND, WORD)
{
    ShowExportDialog(window);
    FocusContactsList(window);
    return 1;
}

static LRESULT OnFindFieldBox(HWND window, WORD, HWND, WORD notifyCode)
{
    OnFindFieldBoxCommand(window, notifyCode);
    return 1;
}

static LRESULT OnPurge(HWND window, WORD, HWND, WORD)
{
    ShowPurgeDialog(window);
    FocusContactsList(window);
    return 1;
}

// The notes pane handles its own notifications, passed back to it.
static LRESULT OnNotesPane(HWND window, WORD, HWND, WORD notifyCode)
{
    if (HWND notes = GetDlgItem(window, ID_NOTES_PANE))
        SendMessageW(notes, WM_COMMAND, MAKEWPARAM(0, notifyCode), 0);
    return 1;
}

static const CommandRow commandTable[] = {
    {IDM_ABOUT, OnAbout},
    {IDM_EXIT, OnExit},
    {IDM_SETTINGS, OnSettings},
    {IDM_NEW_CONTACT, OnNewContact},
    {IDM_NEW_ACTIVITY, OnNewActivity},
    {IDM_ROLL_UP, OnRollUp},
    {IDM_ROLL_DOWN, OnRollDown},
    {IDM_FIND, OnFind},
    {IDM_EXPORT, OnExport},
    {ID_FIND_FIELD_BOX, OnFindFieldBox},
    {IDM_PURGE, OnPurge},
    {ID_NOTES_PANE, OnNotesPane},
};

static LRESULT OnCommand(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    const LRESULT result =
        DispatchCommandRows(commandTable, ARRAYSIZE(commandTable), window, wParam, lParam, &handled);
    if (handled)
        return result;
    const WORD id = LOWORD(wParam);
    if (IsProfileCommand(id, profileCount))
        SelectProfile(id - IDM_PROFILE_FIRST);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageRows(messageTable, ARRAYSIZE(messageTable), window, message, wParam, lParam);
}
