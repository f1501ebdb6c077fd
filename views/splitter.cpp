#include "views/splitter.h"

#include "settings/settings.h"
#include "base/app_handles.h"
#include "views/pane_layout.h"

#include <initializer_list>

// One drag at a time: the pen holds one splitter.
static bool dragging;

static void RepaintNow(HWND window)
{
    if (window)
        UpdateWindow(window);
}

// Keeps the splitter between its neighbours and the window's edges.
static int LimitSplitterTop(HWND splitter, int y)
{
    if (splitter == hUpperSplitter) {
        const int lowerTop = SplitterTop(hLowerSplitter);
        if (y + SPLITTER_HEIGHT > lowerTop)
            return lowerTop - SPLITTER_HEIGHT;
        if (y < listTop - 1)
            return listTop - 1;
        return y;
    }
    RECT client;
    GetClientRect(hMainWindow, &client);
    if (y > client.bottom - 32)
        return client.bottom - 32;
    const int upperTop = SplitterTop(hUpperSplitter);
    if (y < upperTop + 5)
        return upperTop + 5;
    return y;
}

static void DragTo(HWND splitter, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    MapWindowPoints(splitter, hMainWindow, &point, 1);
    MoveSplitter(splitter, LimitSplitterTop(splitter, point.y));
    LayoutPanes();
    UpdateWindow(splitter);
    RepaintNow(hMainWindow);
    for (int id : {ID_CONTACTS_LIST, ID_ACTIVITY_LIST, ID_NOTES_PANE})
        RepaintNow(GetDlgItem(hMainWindow, id));
}

LRESULT CALLBACK SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(window);
        dragging = true;
        DragTo(window, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging && hMainWindow)
            DragTo(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        dragging = false;
        if (hMainWindow && hUpperSplitter && hLowerSplitter) {
            settings.sb1top = SplitterTop(hUpperSplitter);
            settings.sb2top = SplitterTop(hLowerSplitter);
            StoreUpperSplitterTop();
            StoreLowerSplitterTop();
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
