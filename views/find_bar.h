// The find bar under the header band and the alphabet index in the band.
#pragma once
#include <windows.h>

extern int findBarVisible;      // 1 while the find bar is shown
extern int findMode;            // 0: search contacts, 1: search activities
extern int findButtonPressed;   // 1 while a find bar button is held down (go button drawn pressed)

// What the bar searches for: trimmed and lower-cased, at most 79 characters.
constexpr int FIND_TEXT_CAPACITY = 80;
extern wchar_t findText[FIND_TEXT_CAPACITY];

enum : int {
    FIND_MODE_CONTACTS = 0,
    FIND_MODE_ACTIVITIES = 1,
};

// Find command: shows or hides the bar.
void ToggleFindBar(HWND mainWindow);
// Commands of the find field box (id 6003).
void OnFindFieldBoxCommand(HWND mainWindow, WORD notifyCode);
// Pen down and up in the main window: the alphabet index and the bar's buttons.
void FindBarPenDown(HWND mainWindow, int x, int y);
void FindBarPenUp(HWND mainWindow, int x, int y);
