#include "settings/sheet/settings_sheet.h"

#include "base/app_handles.h"
#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "settings/sheet/profiles_page.h"

#include <commctrl.h>

namespace {

struct Page {
    int templateId;
    const wchar_t* title;
    DLGPROC procedure;
};

// In tab order.
const Page pages[] = {
    {IDD_PROFILES_PAGE, L"Profiles", ProfilesPageProc},
};

// Asked for the control version, the sheet answers with the one that puts
// the tabs at the bottom, as on the device.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM)
{
    return message == PSCB_GETVERSION ? POCKET_PC_COMCTL32_VERSION : 0;
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
        descriptions[i].pfnDlgProc = pages[i].procedure;
    }
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
