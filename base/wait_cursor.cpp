#include "base/wait_cursor.h"

#include <windows.h>

void SetWaitCursor(bool on)
{
    if (on) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        ShowCursor(TRUE);
    } else {
        ShowCursor(FALSE);
        SetCursor(nullptr);
    }
}
