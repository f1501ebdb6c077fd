#include "shell/pane_layout.h"

// The panes arrive with the lists and splitters; until then there is nothing
// to lay out.
void RollUp(HWND) {}
void RollDown(HWND) {}

LRESULT OnLayoutSettingChange(HWND, WPARAM, LPARAM)
{
    return 0;
}
