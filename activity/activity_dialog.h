// The activity dialog (template 1015): creates an activity or changes one,
// then refreshes the lists, adds typed labels and re-arms the reminder.
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

// Modal over the main window; oid -1 (all bits) means a new activity for the
// current contact. The dialog always ends with 0, saved or closed.
void ShowActivityDialog(HWND mainWindow, LONG oid);

INT_PTR CALLBACK ActivityDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shown when OK finds no contact to attach the activity to.
constexpr wchar_t NO_CONTACT_MESSAGE[] = L"Choose a contact for this activity before saving it.";
