#include "shell/main_window.h"

#include "contacts/contact_editor.h"
#include "contacts/contact_source.h"
#include "export/export_dialog.h"
#include "platform/poom/poom_server.h"
#include "sheet/settings_sheet.h"
#include "views/view_bitmaps.h"
#include "shell/app_menu_bar.h"
#include "shell/app_state.h"
#include "shell/contact_exchange_commands.h"
#include "shell/list_commands.h"
#include "base/dispatch.h"
#include "views/contact_card.h"
#include "views/header_band.h"
#include "views/pane_layout.h"
#include "views/view_resources.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/profiles.h"
#include "activity/purge_dialog.h"
#include "shell/about_box.h"
#include "views/profile_menu.h"
#include "views/find_bar.h"
#include "views/list_model.h"
#include "views/list_views.h"

#include <commctrl.h>


static void FocusContactsList(HWND window)
{
    if (HWND list = GetDlgItem(window, ID_CONTACTS_LIST))
        SetFocus(list);
}

// ---- Messages -----------------------------------------------------------------

static LRESULT OnCreate(HWND window, UINT, WPARAM, LPARAM)
{
    // Every common control the program makes: lists and their headers, the
    // menu bar's toolbar, track bar and tool tips, date pickers, the progress
    // bar and the settings sheet's tabs.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
                                                          ICC_STANDARD_CLASSES};
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
    // vCard files dropped from a file manager are imported.
    DragAcceptFiles(window, TRUE);
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
    if (LOWORD(wParam) != WA_INACTIVE && !hMenuBar) {
        CreateAppMenuBar(window);
        // A new bar comes from the resource: its Profiles menu is built again,
        // and New Activity has nothing to act on without contacts.
        BuildProfilesMenu(settings.activeprofilename);
        EnableNewActivity(contactCount > 0);
    }
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
    FreeCategoryList();
    FreeCategoryRestriction();
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
    if (wParam != CONTACT_SUMMARY_TIMER)
        return 0;
    KillTimer(window, CONTACT_SUMMARY_TIMER);
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
    SetTextColor(dc, settings.notestextcolor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(hNotesBrush);
}

static LRESULT OnInitMenuPopup(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

static LRESULT OnDropFiles(HWND window, UINT, WPARAM wParam, LPARAM)
{
    ImportDroppedContacts(window, reinterpret_cast<HDROP>(wParam));
    FocusContactsList(window);
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
    {WM_DROPFILES, OnDropFiles},
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
    hNotesBrush = CreateSolidBrush(settings.notesbkgcolor);
    return 1;
}

// The chosen editor, or the device's card when that editor cannot take the
// call (it may have been removed since start-up).
static LRESULT OnNewContact(HWND window, WORD, HWND, WORD)
{
    if (!(settings.piminterface && ShowContactInEditor(0)) && !OpenContactEditor(0))
        return 1;
    SelectRowByTap(GetDlgItem(window, ID_CONTACTS_LIST), 0);
    return 1;
}

static LRESULT OnNewActivity(HWND window, WORD, HWND, WORD)
{
    RunActivityDialog(window, -1);
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

static LRESULT OnImportContacts(HWND window, WORD, HWND, WORD)
{
    ImportContactsFromMenu(window);
    FocusContactsList(window);
    return 1;
}

static LRESULT OnExportContacts(HWND window, WORD, HWND, WORD)
{
    ExportContactsFromMenu(window);
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
    {IDM_IMPORT_CONTACTS, OnImportContacts},
    {IDM_EXPORT_CONTACTS, OnExportContacts},
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
    if (RouteListCommand(window, id, reinterpret_cast<HWND>(lParam)))
        return 0;
    if (IsProfileCommand(id, profileCount))
        SelectProfile(id);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageRows(messageTable, ARRAYSIZE(messageTable), window, message, wParam, lParam);
}
