// A dialog the size of the screen below the navigation bar, with Done there,
// as the handheld shows its dialogs.
#pragma once
#include <windows.h>

void MakeDialogFullScreen(HWND dialog);
