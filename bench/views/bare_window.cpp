#include "bench/views/bare_window.h"

#include <commctrl.h>

namespace {

const wchar_t CLASS_NAME[] = L"VantaroBareWindow";

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && GetWindowLongPtrW(window, GWLP_USERDATA))
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

HMENU MenuBar()
{
    HMENU bar = CreateMenu();
    const wchar_t* const names[] = {L"File", L"Edit", L"View", L"Tools"};
    for (const wchar_t* name : names) {
        HMENU popup = CreatePopupMenu();
        for (UINT id = 1; id <= 4; ++id)
            AppendMenuW(popup, MF_STRING, id, L"Item");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), name);
    }
    return bar;
}

HWND ReportList(HWND parent, HINSTANCE instance, int y, int height, int columns)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, y,
                                240, height, parent, nullptr, instance, nullptr);
    for (int c = 0; c < columns; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 240 / columns;
        column.pszText = const_cast<wchar_t*>(L"Column");
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

}  // namespace

HWND CreateBareWindow(HINSTANCE instance, bool quits)
{
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = BareProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = CLASS_NAME;
        registered = RegisterClassW(&windowClass) != 0;
    }
    HWND window = CreateWindowExW(0, CLASS_NAME, L"Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 240,
                                  320, nullptr, MenuBar(), instance, nullptr);
    if (!window)
        return nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, quits);
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 240, 20, window,
                    nullptr, instance, nullptr);
    ReportList(window, instance, 20, 130, 3);
    ReportList(window, instance, 150, 120, 5);
    ShowWindow(window, SW_SHOW);
    return window;
}
