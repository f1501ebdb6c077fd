#include "shell/app_menu_bar.h"

#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "shell/app_state.h"

// One per button that is not a separator, in button order.
static const wchar_t* const menuBarToolTips[] = {
    L"File", L"Options", L"New Contact", L"New Activity", L"Roll Up", L"Roll Down", L"Profiles", L"Find",
};

void CreateAppMenuBar(HWND mainWindow)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof info;
    info.hwndParent = mainWindow;
    info.dwFlags = 0;
    info.nToolBarId = IDR_MENUBAR;
    info.hInstRes = hInstance;
    info.nBmpId = IDB_MENUBAR_BUTTONS;
    info.cBmpImages = MENUBAR_BUTTON_IMAGES;
    if (!SHCreateMenuBar(&info)) {
        hMenuBar = nullptr;
        return;
    }
    SendMessageW(info.hwndMB, TB_SETTOOLTIPS, ARRAYSIZE(menuBarToolTips),
                 reinterpret_cast<LPARAM>(menuBarToolTips));
    hMenuBar = info.hwndMB;
}

void DestroyAppMenuBar()
{
    if (hMenuBar)
        DestroyWindow(hMenuBar);
    hMenuBar = nullptr;
}
