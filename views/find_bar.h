// The find bar under the header band and the alphabet index in the band. What
// it searches for lives in store/find_filter.h, which the queries read.
#pragma once
#include <windows.h>

#include "store/find_filter.h"

extern int findButtonPressed;   // 1 while a find bar button is held down (go button drawn pressed)

// Empties the field box and fills it with the fields of a find mode, the
// field remembered for that mode selected.
void FillFindFieldBox(int mode);

// Find command: shows or hides the bar.
void ToggleFindBar(HWND mainWindow);
// Commands of the find field box (id 6003).
void OnFindFieldBoxCommand(HWND mainWindow, WORD notifyCode);
// Pen down and up in the main window: the alphabet index and the bar's buttons.
void FindBarPenDown(HWND mainWindow, int x, int y);
void FindBarPenUp(HWND mainWindow, int x, int y);
