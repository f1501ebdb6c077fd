#include "views/list_views.h"

int currentContactIndex = -1;
DWORD* activityOIDList = nullptr;
int activityCount = 0;

// The lists arrive with the main views; until then there is nothing to
// select and nothing is notified.
void SelectRowByTap(HWND, int) {}

LRESULT OnListNotify(HWND, WPARAM, LPARAM)
{
    return 0;
}

LRESULT OnContactsDatabaseChanged(HWND, WPARAM, LPARAM)
{
    return 0;
}
