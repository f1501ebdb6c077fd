// Contacts in and out from inside the program: File > Import Contacts...,
// File > Export Contacts... and vCard files dropped on the main window. The
// cards go through the same importer and exporter as the vtcontacts tool.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Asks for vCard files in the system's open dialog and imports them.
void ImportContactsFromMenu(HWND owner);
// Imports the files dropped on the window; the drop is finished here.
void ImportDroppedContacts(HWND owner, HDROP drop);
// Imports the files and tells the user what came of it.
void ImportContactFiles(HWND owner, const std::vector<std::wstring>& paths);

// Asks for a file in the system's save dialog and writes the contacts of
// the current profile (every contact under "All") into it as vCard 3.0.
void ExportContactsFromMenu(HWND owner);

// The paths an open dialog with several files allowed hands back: the
// folder, then each name, or one whole path; each ends in a null.
std::vector<std::wstring> ChosenPaths(const wchar_t* buffer);
