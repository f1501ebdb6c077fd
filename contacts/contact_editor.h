// The optional third-party contact editor, used instead of the device's
// contact card when the user chooses it ("piminterface" 1) and it is
// installed. Only its two entry points are known; it is loaded on demand.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

// The libraries that may carry the editor, in the order they are tried.
constexpr wchar_t CONTACT_EDITOR_LIBRARY[] = L"PITools.dll";
constexpr wchar_t CONTACT_EDITOR_FALLBACK_LIBRARY[] = L"PINewEditUI.dll";

// The entry points: show (and edit) a contact, create a new one. The second
// argument of the display call is always 1; neither result is used.
typedef int (WINAPI *DisplayContactWindowProc)(CEOID oid, int mode, HWND owner);
typedef int (WINAPI *CreateContactProc)(HWND owner);

struct ContactEditorEntries {
    DisplayContactWindowProc displayContact;
    CreateContactProc createContact;
};

// Set once at start-up: 1 when the editor was found.
extern int contactEditorInstalled;

// Loads the first library that exports at least one entry point, looked
// for only by full path in the program's folder and then in the system
// folder (never through the search path, where any folder could plant
// one), and fills both entry points (null when missing). Returns the library
// for FreeLibrary, or null when no editor is there.
HMODULE LoadContactEditorLibrary(ContactEditorEntries* entries);
// 1 when LoadContactEditorLibrary finds an editor (freed again at once).
int IsContactEditorInstalled();
// Opens the contact in the editor, or the editor's new contact for oid 0.
// Returns 1 when the editor took the call; 0 when the library or the entry
// point needed is missing, and the caller then uses the device's card.
int ShowContactInEditor(CEOID oid);
