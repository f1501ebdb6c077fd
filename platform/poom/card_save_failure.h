// The contact card keeps what was typed when the store could not save it,
// and lets the program say so in its own words; without a handler the
// platform's message box tells.
#pragma once
#include <windows.h>

using ContactSaveFailureHandler = void (*)(HWND card, DWORD error);
void SetContactSaveFailureHandler(ContactSaveFailureHandler handler);
