// What the main window asks of the contact source and the contact editors.
#pragma once
#include <windows.h>

// Opens the contact in the device's contact card (0: a new contact).
// Returns 0 when nothing was opened.
int OpenContactEditor(DWORD contactOid);
// Opens the contact in the optional third-party editor (0: a new contact).
void ShowContactInEditor(DWORD contactOid);
// Timer 1: shows the summary view of the device's contact card.
void SwitchContactCardToSummary();
