#include "base/app_handles.h"

HINSTANCE hInstance;
HWND hMainWindow;
HWND hMenuBar;
int osGeneration = OS_GENERATION_2002;
int hasKeyboard;
SHACTIVATEINFO shellActivateInfo;

HINSTANCE AppInstance()
{
    return hInstance ? hInstance : GetModuleHandleW(nullptr);
}

HWND MainWindowChild(int id)
{
    if (!hMainWindow)
        return nullptr;
    // Under Wine each GetDlgItem asks the server for the window's children,
    // and the panes are looked up dozens of times a tap; the children live
    // as long as the main window, so each found one is kept and checked.
    struct Found {
        int id;
        HWND window;
    };
    static Found found[8] = {};
    static size_t next = 0;
    for (Found& entry : found) {
        if (!entry.window || entry.id != id)
            continue;
        if (IsWindow(entry.window) && GetParent(entry.window) == hMainWindow && GetDlgCtrlID(entry.window) == id)
            return entry.window;
        entry.window = nullptr;
    }
    HWND child = GetDlgItem(hMainWindow, id);
    if (child) {
        found[next] = {id, child};
        next = (next + 1) % (sizeof found / sizeof found[0]);
    }
    return child;
}

LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    return hMainWindow ? SendMessageW(hMainWindow, message, wParam, lParam) : 0;
}

void StartMainWindowTimer(UINT_PTR id, UINT milliseconds)
{
    if (hMainWindow)
        SetTimer(hMainWindow, id, milliseconds, nullptr);
}
