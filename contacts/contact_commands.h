// What the main window asks of the contact source.
#pragma once
#include <windows.h>

#include "contacts/contact_source.h"

// New Contact: opens an empty contact in the chosen editor and selects the
// first row of the contacts list afterwards.
void NewContact(HWND mainWindow);
// Timer 1 runs SwitchContactCardToSummary of the contact source.
