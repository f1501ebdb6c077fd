// Process-wide state of the application shell.
#pragma once
#include <windows.h>

#include <string>

#include "platform/shell/aygshell.h"

extern HINSTANCE hInstance;      // the program's instance
extern HWND hMainWindow;         // class "Vantaro"
extern HWND hMenuBar;            // the menu bar's own window, or none
extern int osGeneration;         // 2003 on a CE 4.x device, otherwise 2002
extern SHACTIVATEINFO shellActivateInfo;   // passed to the shell's activation and setting-change helpers
extern std::wstring backupFolder;          // where the volume's backup copy goes
extern int hasKeyboard;                    // 1 when "HasKeyboard" says the device has one

constexpr int OS_GENERATION_2002 = 2002;
constexpr int OS_GENERATION_2003 = 2003;

constexpr wchar_t MAIN_WINDOW_CLASS[] = L"Vantaro";
constexpr wchar_t MAIN_WINDOW_TITLE[] = L"Vantaro";
constexpr wchar_t SPLITTER_CLASS[] = L"splitter";

// Child windows of the main window.
constexpr int ID_CONTACTS_LIST = 6000;
constexpr int ID_ACTIVITY_LIST = 6001;
constexpr int ID_NOTES_PANE = 6002;
constexpr int ID_FIND_FIELD_BOX = 6003;
constexpr int ID_FIND_TEXT_BOX = 6004;

// Exit codes of the start-up failures.
constexpr int EXIT_CLASS_NOT_REGISTERED = 1;
constexpr int EXIT_STARTUP_ENDED = 16;
