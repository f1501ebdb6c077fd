// The find bar under the header band: two mode buttons, the field box, the
// text box and the go button. What it searches for lives in
// store/find_filter.h, which the queries read.
#pragma once
#include <windows.h>

#include "store/find_filter.h"

extern int findButtonPressed;   // 1 while a find bar button is held down (go button drawn pressed)

// Start-up: the field box (6003) and the text box (6004), both hidden.
void CreateFindControls(HWND mainWindow);
// Start-up, and every new main window: bar hidden, contacts mode, the list
// top under the header band, no group of the alphabet index tapped yet.
void ResetFindBar();
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
// The go button: reads the text box and narrows the list of the mode.
void RunFind(HWND mainWindow);
