#include "base/dispatch.h"

#include "resources/resource.h"

bool DispatchDialogRows(const MessageRow* rows, size_t count, HWND dialog, UINT message, WPARAM wParam,
                        LPARAM lParam, INT_PTR* result)
{
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].message == message) {
            *result = rows[i].handler(dialog, message, wParam, lParam);
            return true;
        }
    }
    return false;
}

LRESULT DispatchMessageRows(const MessageRow* rows, size_t count,
                            HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;
    if (DispatchDialogRows(rows, count, window, message, wParam, lParam, &result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DispatchCommandRows(const CommandRow* rows, size_t count,
                            HWND window, WPARAM wParam, LPARAM lParam, bool* handled)
{
    const WORD id = LOWORD(wParam);
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].id == id) {
            *handled = true;
            return rows[i].handler(window, id, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        }
    }
    *handled = false;
    return 0;
}

bool IsProfileCommand(WORD id, int profiles)
{
    return profiles >= 0 && id >= IDM_PROFILE_FIRST && id - IDM_PROFILE_FIRST <= profiles;
}
