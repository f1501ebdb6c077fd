// A dialog the size of the screen below the navigation bar, with Done there,
// as the handheld shows its dialogs.
#pragma once
#include <windows.h>

void MakeDialogFullScreen(HWND dialog);

// Ends the dialog with the command's id when it is OK or Cancel (Done and the
// escape key); returns whether it did, as a dialog procedure answers.
bool EndOnOkOrCancel(HWND dialog, WPARAM commandParam);
