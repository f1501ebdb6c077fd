#include "sheet/settings_sheet.h"

#include "base/app_handles.h"
#include "base/full_screen_dialog.h"
#include "platform/shell/aygshell.h"
#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "sheet/color_page.h"
#include "sheet/descriptor_page.h"
#include "sheet/display_page.h"
#include "sheet/labels_page.h"
#include "sheet/other_page.h"
#include "sheet/profiles_page.h"
#include "sheet/sheet_page.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace {

struct Page {
    int templateId;
    const wchar_t* title;
    const SheetPage* page;
};

// In tab order; the sheet opens on the first.
const Page pages[] = {
    {IDD_DISPLAY_PAGE, L"Display", &DISPLAY_PAGE},
    {IDD_COLOR_PAGE, L"Color", &COLOR_PAGE},
    {IDD_DESCRIPTOR_PAGE, L"Descriptor", &DESCRIPTOR_PAGE},
    {IDD_LABELS_PAGE, L"Labels", &LABELS_PAGE},
    {IDD_PROFILES_PAGE, L"Profiles", &PROFILES_PAGE},
    {IDD_OTHER_PAGE, L"Other", &OTHER_PAGE},
};

// The desktop sheet's own buttons: the navigation bar's Done button confirms
// the sheet instead, and Escape cancels it.
constexpr int SHEET_BUTTONS[] = {IDOK, IDCANCEL, IDHELP, 0x3021 /* Apply */};

WNDPROC previousSheetProc;

// The handheld sheet: the tab strip along the bottom of the sheet and each
// page filling everything above it. A desktop sheet puts a page at the tab
// control's display area but keeps the template's size, so every created
// page is sized here.
void LayoutSheet(HWND sheet)
{
    RECT client;
    GetClientRect(sheet, &client);
    for (int id : SHEET_BUTTONS)
        if (HWND button = GetDlgItem(sheet, id))
            ShowWindow(button, SW_HIDE);
    HWND tabs = PropSheet_GetTabControl(sheet);
    if (!tabs)
        return;
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_NOACTIVATE);
    RECT area = {0, 0, client.right, client.bottom};
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    // The pages' own frames reach to the screen's edges; the tab control's
    // border around the display area is not wanted there.
    area.left = 0;
    area.top = 0;
    area.right = client.right;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(pages)); ++i)
        if (HWND page = PropSheet_IndexToHwnd(sheet, i))
            SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOACTIVATE);
}

LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE && wParam == SPI_SETSIPINFO) {
        // The sheet reaches down to the input panel, or to the screen's
        // bottom when it is down; WM_SIZE lays the pages out again.
        SHHandleWMSettingChange(sheet, wParam, lParam, &shellActivateInfo);
        return 0;
    }
    const LRESULT result = CallWindowProcW(previousSheetProc, sheet, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        LayoutSheet(sheet);
        break;
    case WM_NOTIFY:
        // A page made by a tab change lands at the template's size.
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(TCN_SELCHANGE))
            LayoutSheet(sheet);
        break;
    case PSM_SETCURSEL:
    case PSM_SETCURSELID:
        LayoutSheet(sheet);
        break;
    default:
        break;
    }
    return result;
}

// Full screen below the navigation bar, with Done there, as the device's
// sheet is. Asked for the control version, the callback answers with the one
// that puts the tabs at the bottom.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_GETVERSION)
        return POCKET_PC_COMCTL32_VERSION;
    if (message == PSCB_INITIALIZED && sheet) {
        if (HWND tabs = PropSheet_GetTabControl(sheet)) {
            // One row of tabs, scrolled when they do not all fit, as on the device.
            SetWindowLongW(tabs, GWL_STYLE, (GetWindowLongW(tabs, GWL_STYLE) | TCS_BOTTOM) & ~TCS_MULTILINE);
            // Visual styles draw tabs for a strip along the top only: this one
            // control goes unthemed, so its strip is drawn for the bottom.
            SetWindowTheme(tabs, L"", L"");
        }
        previousSheetProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
        MakeDialogFullScreen(sheet);
        // Full screen means down to the bottom; the panel, when it is up,
        // takes its share at once.
        SHHandleWMSettingChange(sheet, SPI_SETSIPINFO, 0, &shellActivateInfo);
        LayoutSheet(sheet);
    }
    return 0;
}

} // namespace

void ShowSettingsSheet(HWND mainWindow)
{
    PROPSHEETPAGEW descriptions[ARRAYSIZE(pages)] = {};
    for (size_t i = 0; i < ARRAYSIZE(pages); ++i) {
        descriptions[i].dwSize = sizeof descriptions[i];
        descriptions[i].dwFlags = PSP_USETITLE;
        descriptions[i].hInstance = AppInstance();
        descriptions[i].pszTemplate = MAKEINTRESOURCEW(pages[i].templateId);
        descriptions[i].pszTitle = pages[i].title;
        descriptions[i].pfnDlgProc = SheetPageProc;
        descriptions[i].lParam = reinterpret_cast<LPARAM>(pages[i].page);
    }
    // The device's maximize flag has another meaning on a desktop sheet; the
    // callback makes the sheet full screen instead.
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = mainWindow;
    header.hInstance = AppInstance();
    header.pszCaption = L"Settings";
    header.nPages = ARRAYSIZE(pages);
    header.ppsp = descriptions;
    header.pfnCallback = SheetCallback;
    if (PropertySheetW(&header) == -1)
        MessageBoxW(mainWindow, L"error in PropertySheet()", L"error", MB_OK);
}

HWND SettingsPage(HWND sheet, int templateId)
{
    if (!sheet)
        return nullptr;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(pages)); ++i)
        if (pages[i].templateId == templateId)
            return PropSheet_IndexToHwnd(sheet, i);
    return nullptr;
}
