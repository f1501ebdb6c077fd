// Process-wide state of the application shell.
#pragma once
#include <windows.h>

extern HINSTANCE hInstance;      // the program's instance
extern HWND hMainWindow;         // class "Vantaro"
extern HWND hMenuBar;            // the menu bar's own window, or none
extern int osGeneration;         // 2003 on a CE 4.x device, otherwise 2002

constexpr int OS_GENERATION_2002 = 2002;
constexpr int OS_GENERATION_2003 = 2003;

constexpr wchar_t MAIN_WINDOW_CLASS[] = L"Vantaro";
constexpr wchar_t MAIN_WINDOW_TITLE[] = L"Vantaro";
constexpr wchar_t SPLITTER_CLASS[] = L"splitter";

// Exit codes of the start-up failures.
constexpr int EXIT_CLASS_NOT_REGISTERED = 1;
constexpr int EXIT_STARTUP_ENDED = 16;
