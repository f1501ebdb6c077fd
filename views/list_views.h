// The contacts list and the activity list: what they show, how they are
// filled and the refresh operations the rest of the program calls.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

// The contacts in display order (contactCount of them, from the contact
// source) and, parallel to them, each contact's flagged last activity or 0.
extern CEOID* contactOIDList;
extern CEOID* lastActivityOIDList;
// Row of the contact whose activities are shown.
extern int currentContactIndex;
// A contact to select after the next contacts refresh, 0 for none.
extern CEOID pendingContactOid;

// Object ids of the activity list's rows, and how many there are.
extern CEOID* activityOIDList;
extern int activityCount;

// Reloads the contacts (and the first contact's activities) into both lists.
void FillContactsList();
// Re-sorts the contacts when their sort column is a last-activity column.
void ResortByLastActivity();
// Loads the current contact's activities in the activity list's order.
void LoadActivitiesOfContact();
// Selects a list's row as a tap would, loading what depends on it.
void SelectRowByTap(HWND list, int row);
// Scrolls so that row is the list's top row, as far as the list allows.
void ScrollRowToTop(HWND list, int row);
// Deletes and inserts the columns of both lists from the settings.
void SetupListColumns();
void ShowSortArrow(HWND list, int column, int direction);
void ClearSortArrow(HWND list, int column);

// Start-up: both lists between the splitters, their columns in the stored
// order, and the notes pane below.
void CreateListsAndNotesPane(HWND mainWindow);
// Start-up: stored widths applied, or header-fitted widths computed and
// written; then the sort arrows.
void ApplyColumnWidthsAndArrows(HWND mainWindow);
// Start-up: the first fill, the first contact selected, New Activity
// disabled without contacts.
void FillListsAtStartup(HWND mainWindow);
// Enables or disables the menu bar's New Activity button.
void EnableNewActivity(bool enable);
// Frees the object id arrays (main window destroyed).
void FreeListArrays();

// WM_NOTIFY of the main window: notifications of both lists and their headers.
LRESULT OnListNotify(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// WM_DBNOTIFICATION of the main window: the device's contacts changed.
LRESULT OnContactsDatabaseChanged(HWND mainWindow, WPARAM wParam, LPARAM lParam);

// A tap on a column header: sort by it, or turn the order round.
void SortContactsByColumn(HWND list, int column);
void SortActivitiesByColumn(HWND list, int column);

// Subclass procedures of the two lists.
LRESULT CALLBACK ContactsListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ActivityListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

// Shared between the two lists' procedures (views/list_header.cpp).
extern WNDPROC previousContactsListProc;
extern WNDPROC previousActivityListProc;
// The header's resize and drag notifications, stored as the list's settings.
void OnListHeaderNotify(HWND list, const NMHDR* header);
// The list's own WM_PAINT and WM_ERASEBKGND; true when handled.
bool PaintFullWidth(HWND list, UINT message, LRESULT* result);
// The contacts list and the activity list of the main window.
HWND ContactsList();
HWND ActivityList();
HWND NotesPane();
