// What the two lists show: the object ids of their rows in display order,
// their counts, the current contact and the rows the lists have marked. The
// arrays belong to this module; other layers read them and change them only
// through the operations here and in list_views.h.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

// The contacts in display order and, parallel to them, each contact's
// flagged last activity or 0. contactCount is the contacts list's own row
// count: the contacts the profile and the find bar let through.
extern CEOID* contactOIDList;
extern CEOID* lastActivityOIDList;
extern int contactCount;
// Row of the contact whose activities are shown.
extern int currentContactIndex;
// A contact to select after the next contacts refresh, 0 for none.
extern CEOID pendingContactOid;

// Object ids of the activity list's rows, and how many there are.
extern CEOID* activityOIDList;
extern int activityCount;

// The contacts list, the activity list and the notes pane of the main window.
HWND ContactsList();
HWND ActivityList();
HWND NotesPane();

// Reloads the contacts in the list's order, narrowed by the find bar and
// the profile, and their last activities.
void ReloadContactRows();
// Rebuilds the last activities of the listed contacts.
void RebuildLastActivities();
// Loads the current contact's activities (narrowed by the find bar when
// applyFind is 1) in the activity list's order, and gives the activity
// list its new row count. No activity is marked afterwards and the notes
// pane is empty and disabled.
void LoadActivitiesOfContact(int applyFind = 1);

// The contact of the current row, 0 for none.
CEOID CurrentContactOid();
// The first row of the contact, -1 when it is not listed.
int RowOfContact(CEOID contact);
// Makes the contact's row current and marks it in the contacts list; false
// when the contact is not listed.
bool MakeContactCurrent(CEOID contact);

// The rows the lists have marked (selection marks), -1 when none is marked
// or the mark lies outside the rows; and the object ids behind them, 0 then.
int MarkedContactRow();
int MarkedActivityRow();
CEOID MarkedContactOid();
CEOID MarkedActivityOid();

// Frees the arrays (main window destroyed).
void FreeListArrays();
