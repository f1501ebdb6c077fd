// Waiting on a thread's windows and reading their lists: what every window
// test needs, with or without the scenario's main window.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// Dispatches every queued message. A WM_QUIT goes to *quit when given (the
// scenario's message loop ends there), otherwise it is dropped.
inline void PumpPending(MSG* quit = nullptr)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            if (quit)
                *quit = msg;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Dispatches messages until the condition holds; false when the limit passed
// first. Between rounds the thread waits for input, which also lets the
// window system put painted surfaces on the screen.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs = 10000, MSG* quit = nullptr)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(quit);
        if (condition())
            return true;
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The text of a window or control, whatever its length.
inline std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// The text of a dialog's control.
inline std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// The texts of a list box, a combo box, a header or a column of a list view,
// in order.
inline std::vector<std::wstring> ListItems(HWND list, int column = 0)
{
    wchar_t className[32] = L"";
    GetClassNameW(list, className, 32);
    const bool combo = lstrcmpiW(className, WC_COMBOBOXW) == 0;
    const bool view = lstrcmpiW(className, WC_LISTVIEWW) == 0;
    const bool header = lstrcmpiW(className, WC_HEADERW) == 0;
    const UINT countMessage = view ? LVM_GETITEMCOUNT : header ? HDM_GETITEMCOUNT : combo ? CB_GETCOUNT : LB_GETCOUNT;
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(list, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(256, L'\0');
        if (header) {
            HDITEMW item = {};
            item.mask = HDI_TEXT;
            item.pszText = &text[0];
            item.cchTextMax = static_cast<int>(text.size());
            SendMessageW(list, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        } else if (view) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = &text[0];
            item.cchTextMax = static_cast<int>(text.size());
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        } else {
            const LRESULT length = SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
            text.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
            SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        }
        items.push_back(text.c_str());
    }
    return items;
}
