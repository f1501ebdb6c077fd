// The main window: its procedure is a lookup in the message and command tables.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command ids of the menu bar and its menus.
enum : WORD {
    IDM_FILE = 40013,
    IDM_OPTIONS = 40004,
    IDM_ABOUT = 40007,
    IDM_EXIT = 40008,
    IDM_SETTINGS = 40011,
    IDM_EXPORT = 40015,
    IDM_NEW_CONTACT = 40021,
    IDM_NEW_ACTIVITY = 40022,
    IDM_ROLL_UP = 40029,
    IDM_ROLL_DOWN = 40030,
    IDM_PROFILES = 40050,
    IDM_FIND = 40052,
    IDM_PURGE = 40053,
    IDM_PROFILE_FIRST = 60000,   // "All"; profile n is 60000 + n
};
