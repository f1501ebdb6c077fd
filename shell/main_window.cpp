#include "shell/main_window.h"

#include "contacts/contact_source.h"
#include "platform/poom/poom_server.h"

#include "shell/app_state.h"
#include "shell/dispatch.h"
#include "shell/header_band.h"
#include "store/activity_database.h"
#include "shell/view_resources.h"
#include "settings/settings.h"

static LRESULT OnCreate(HWND, UINT, WPARAM, LPARAM)
{
    // The contact object model's class object, for the connection that
    // start-up opens (on the device it is registered by the system).
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

static LRESULT OnClose(HWND window, UINT, WPARAM, LPARAM)
{
    if (hMenuBar) {
        DestroyWindow(hMenuBar);
        hMenuBar = nullptr;
    }
    DestroyWindow(window);
    return 0;
}

static LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM)
{
    if (hMenuBar) {
        DestroyWindow(hMenuBar);
        hMenuBar = nullptr;
    }
    DeleteViewBrushesAndFonts();
    CloseStoreHandles();
    CloseOutlookConnection();
    RevokePoomServer();
    FreeSettingArrays();
    hMainWindow = nullptr;
    PostQuitMessage(0);
    return 0;
}

static LRESULT OnExit(HWND window, WORD, HWND, WORD)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    return 1;
}

static const CommandRow commandTable[] = {
    {IDM_EXIT, OnExit},
};

static LRESULT OnCommand(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    return DispatchCommandRows(commandTable, ARRAYSIZE(commandTable), window, wParam, lParam, &handled);
}

static const MessageRow messageTable[] = {
    {WM_CREATE, OnCreate},
    {WM_PAINT, OnPaint},
    {WM_DESTROY, OnDestroy},
    {WM_COMMAND, OnCommand},
    {WM_CLOSE, OnClose},
};

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageRows(messageTable, ARRAYSIZE(messageTable), window, message, wParam, lParam);
}
