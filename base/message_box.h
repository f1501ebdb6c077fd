// The program's own message box: rounded, with a title band, the text sized
// to fit, an optional warning picture, one or two buttons and an optional
// "Don't show this message again" check box.
#pragma once
#include <windows.h>

// Style bits understood; any other bit is ignored.
constexpr UINT APP_MB_OKCANCEL = 0x1;
constexpr UINT APP_MB_CHECKBOX = 0x2;
constexpr UINT APP_MB_YESNO = 0x4;
constexpr UINT APP_MB_WARNING = 0x30;
constexpr UINT APP_MB_SECONDDEFAULT = 0x100;

// Longest text and title shown; longer ones are cut.
constexpr int APP_MB_TEXT_CHARS = 199;
constexpr int APP_MB_TITLE_CHARS = 99;

// Shows the box modally and returns 1 for the first button ("OK", "Yes",
// IDOK) and 2 for the second ("Cancel", "No", IDCANCEL). Messages of other
// windows keep being dispatched while it is open. With APP_MB_CHECKBOX the
// check box's state (1 ticked) goes to *checkState, when given, as the box
// closes; the caller decides whether that is a setting.
int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style, int* checkState = nullptr);

// The system's own message box with one OK button, for the few failures
// that layers without window code report that way; returns its answer.
int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* title);

// The box draws its text with ClearType while *clearTypeFlag is 1; start-up
// points it at the setting, so a change made there shows in the next box.
void SetCardClearTypeSource(const int* clearTypeFlag);
// The ClearType choice the program's own cards (this box, the progress
// window) draw their text with.
int CardClearType();
