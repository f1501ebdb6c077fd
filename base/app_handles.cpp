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
    return hMainWindow ? GetDlgItem(hMainWindow, id) : nullptr;
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
