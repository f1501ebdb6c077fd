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
// windows keep being dispatched while it is open.
int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style);
