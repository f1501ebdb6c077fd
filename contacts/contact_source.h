// The program's only door to the device's contacts: one connection to the
// contact object model, opened at start-up, and the operations the rest of
// the program needs.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"
#include "platform/poom/pimstore.h"

// The connection (one for the program).
extern IPOutlookApp* outlookApp;
extern int outlookLoggedOn;
extern IFolder* contactsFolder;
extern int contactCount;         // the last value CountContacts returned
// The contact that OpenContactEditor created last, for the contacts list to
// select after its rebuild; 0 when there is none.
extern CEOID newContactOid;
// "[Categories] = "A,B"" for the active profile, empty or null when none
// applies; the profiles build it.
extern wchar_t* categoryRestriction;

// ListContactOids sort modes.
constexpr int SORT_BY_NAME = 1;
constexpr int SORT_BY_LIST_COLUMN = 0;

constexpr int CONTACT_NAME_CAPACITY = 40;  // names in combo and list boxes
constexpr UINT_PTR CONTACT_SUMMARY_TIMER = 1;
constexpr UINT CONTACT_SUMMARY_DELAY_MS = 500;

int OpenOutlookConnection(HWND mainWindow);
// Releases the connection; start-up may open it again afterwards.
void CloseOutlookConnection();
int CountContacts();
// Fills *oids (heap array owned by the caller, null when empty) with the
// contacts, sorted by name or by the contacts list's sort column, narrowed
// by the find bar (findFlag 1) and the category restriction (restrictFlag 1).
void ListContactOids(CEOID** oids, int* count, int findFlag, int sortMode, int restrictFlag);
// Names of the contacts that have one, sorted by name and restricted by the
// category restriction; the n-th added name's oid is (*oids)[n].
void FillContactCombo(HWND combo, CEOID** oids);
void FillContactListBox(HWND listBox, int useFilter, CEOID** oids);
int ContactExists(CEOID oid);
// Opens the device's contact card for the contact, or for a new one when oid
// is 0; returns 1 when the contacts list must be refreshed.
int OpenContactEditor(CEOID oid);
int DeleteContact(CEOID oid);
// Timer 1 of the main window: shows the open contact card's summary view.
void SwitchContactCardToSummary();

// Fetches a contact through the connection; null when it cannot be had
// (no connection, or no such contact). The caller releases it.
IContact* FetchContact(CEOID oid);
