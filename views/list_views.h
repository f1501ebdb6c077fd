// The contacts list and the activity list: what they show, how they are
// filled and the refresh operations the rest of the program calls.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"
#include "views/list_model.h"

// Reloads the contacts (and the first contact's activities) into both lists.
void FillContactsList();
// Re-sorts the contacts when their sort column is a last-activity column.
void ResortByLastActivity();
// After an activity of the contact was saved: the contact becomes current
// (its activities reloaded when asked), the contacts are re-sorted and its row
// is selected as a tap would.
void ShowSavedActivity(CEOID contact, bool reloadActivities);
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

// WM_NOTIFY of the main window: notifications of both lists and their headers.
LRESULT OnListNotify(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// WM_DBNOTIFICATION of the main window: the device's contacts changed.
LRESULT OnContactsDatabaseChanged(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// Drops the change notifications queued for the main window, for an
// operation of many changes that rebuilds the list once at its end: one
// rebuild for each would take minutes.
void DropQueuedContactChanges(HWND mainWindow);

// The column of each list tapped last, -1 for none: the first tap on the
// start-up sort column sorts again, only a second one reverses.
extern int contactsColumnTappedLast;
extern int activityColumnTappedLast;
// A tap on a column header: sort by it, or turn the order round.
void SortContactsByColumn(HWND list, int column);
void SortActivitiesByColumn(HWND list, int column);

// The lists' commands, which reach the main window as commands: the marked
// contact deleted after a question or edited in the chosen editor (the
// popup is views/contact_popup.h); the marked activity marked done or not done.
void DeleteMarkedContact();
void EditMarkedContact();
void ToggleDoneOfMarkedActivity();

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
