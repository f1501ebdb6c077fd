// The program's only door to the device's contacts: one connection to the
// contact object model, opened at start-up, and the operations the rest of
// the program needs.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"
#include "platform/poom/pimstore.h"

#include <string>
#include <vector>

// The connection (one for the program).
extern IPOutlookApp* outlookApp;
extern int outlookLoggedOn;
extern IFolder* contactsFolder;
// The contact that OpenContactEditor created last, for the contacts list to
// select after its rebuild; 0 when there is none.
extern CEOID newContactOid;

// ListContactOids sort modes.
constexpr int SORT_BY_NAME = 1;
constexpr int SORT_BY_LIST_COLUMN = 0;

constexpr int CONTACT_NAME_CAPACITY = 40;  // names in combo and list boxes
constexpr UINT_PTR CONTACT_SUMMARY_TIMER = 1;
constexpr UINT CONTACT_SUMMARY_DELAY_MS = 500;

int OpenOutlookConnection(HWND mainWindow);
// Releases the connection; start-up may open it again afterwards.
void CloseOutlookConnection();
// How many contacts the device holds, whatever the lists show.
int CountContacts();
// Fills *oids (heap array owned by the caller, null when empty) with the
// contacts, sorted by name or by the contacts list's sort column, narrowed
// by the find bar (findFlag 1) and the category restriction (restrictFlag 1).
void ListContactOids(CEOID** oids, int* count, int findFlag, int sortMode, int restrictFlag);
// Names (FileAs, at most 39 characters) of the contacts that have one, sorted
// by name, narrowed by the category restriction when restrict is set and by
// the find bar for findFlag 1; the n-th name's oid is (*oids)[n], and *oids
// is null when there is none.
std::vector<std::wstring> ListContactNames(CEOID** oids, bool restrict, int findFlag);
int ContactExists(CEOID oid);
// Opens the device's contact card for the contact, or for a new one when oid
// is 0; returns 1 when the contacts list must be refreshed.
int OpenContactEditor(CEOID oid);
int DeleteContact(CEOID oid);

// Fetches a contact through the connection; null when it cannot be had
// (no connection, or no such contact). The caller releases it.
IContact* FetchContact(CEOID oid);
