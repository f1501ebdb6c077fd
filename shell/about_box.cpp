#include "shell/about_box.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "base/full_screen_dialog.h"
#include "base/wait_cursor.h"
#include "contacts/contact_source.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "store/database_info.h"

namespace {

constexpr COLORREF DB_INFO_GREEN = 0x009900;
constexpr int NAME_FONT_HEIGHT = 20;

HFONT nameFont;

BOOL OnInitAbout(HWND dialog)
{
    MakeDialogFullScreen(dialog);
    // The navigation bar shows the page's title.
    SetWindowTextW(dialog, L"About");

    nameFont = CreateAppFont(700, NAME_FONT_HEIGHT, settings.cleartypeflag);
    SendDlgItemMessageW(dialog, IDC_ABOUT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(nameFont), FALSE);

    // The device's total, not the contacts list's rows, which the profile
    // and the find bar narrow.
    SetWaitCursor(true);
    DatabaseCounts counts = {};
    GetDatabaseCounts(CountContacts(), &counts);
    SetWaitCursor(false);
    SetDlgItemTextW(dialog, IDC_ABOUT_DB_INFO, FormatDatabaseInfo(counts).c_str());
    return TRUE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitAbout(dialog);
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ABOUT_DB_INFO)
            SetTextColor(dc, DB_INFO_GREEN);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
        return EndOnOkOrCancel(dialog, wParam);
    case WM_DESTROY:
        if (nameFont) {
            DeleteObject(nameFont);
            nameFont = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowAboutBox(HWND mainWindow)
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_ABOUT), mainWindow, AboutProc, 0);
}
