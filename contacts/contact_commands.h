// What the main window asks of the contact source.
#pragma once
#include <windows.h>

// New Contact: opens an empty contact in the chosen editor and selects the
// first row of the contacts list afterwards.
void NewContact(HWND mainWindow);
// Timer 1: shows the summary view of the device's contact card.
void SwitchContactCardToSummary();
