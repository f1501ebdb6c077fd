// The contacts list and the activity list as the main window sees them.
#pragma once
#include <windows.h>

// Row of the contact whose activities are shown, -1 for none.
extern int currentContactIndex;

// Selects a list's row as a tap would, loading what depends on it.
void SelectRowByTap(HWND list, int row);

// Object ids of the activity list's rows, and how many there are.
extern DWORD* activityOIDList;
extern int activityCount;

// WM_NOTIFY of the main window: notifications of both lists and their headers.
LRESULT OnListNotify(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// WM_DBNOTIFICATION of the main window: the device's contacts changed.
LRESULT OnContactsDatabaseChanged(HWND mainWindow, WPARAM wParam, LPARAM lParam);
