#include "views/list_views.h"

DWORD* activityOIDList = nullptr;
int activityCount = 0;

// The lists arrive with the main views; until then nothing is notified.
LRESULT OnListNotify(HWND, WPARAM, LPARAM)
{
    return 0;
}

LRESULT OnContactsDatabaseChanged(HWND, WPARAM, LPARAM)
{
    return 0;
}
