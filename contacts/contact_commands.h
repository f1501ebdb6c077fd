// What the main window asks of the contact source and the contact editors.
#pragma once
#include <windows.h>

// OpenContactEditor (the device's contact card, 0: a new contact) and
// SwitchContactCardToSummary (timer 1) come from the contact source.
#include "contacts/contact_source.h"

// Opens the contact in the optional third-party editor (0: a new contact).
void ShowContactInEditor(DWORD contactOid);
