// The few process-wide handles and device facts that every layer may read:
// the program's instance, its main window and menu bar, and what start-up
// learned about the device. The shell sets them; nothing below it does.
#pragma once
#include <windows.h>

#include "platform/shell/aygshell.h"

extern HINSTANCE hInstance;      // the program's instance
extern HWND hMainWindow;         // class "Vantaro"
extern HWND hMenuBar;            // the menu bar's own window, or none
extern int osGeneration;         // 2003 on a CE 4.x device, otherwise 2002
extern int hasKeyboard;          // 1 when "HasKeyboard" says the device has one
extern SHACTIVATEINFO shellActivateInfo;   // passed to the shell's activation and setting-change helpers

constexpr int OS_GENERATION_2002 = 2002;
constexpr int OS_GENERATION_2003 = 2003;

// Child windows of the main window.
constexpr int ID_CONTACTS_LIST = 6000;
constexpr int ID_ACTIVITY_LIST = 6001;
constexpr int ID_NOTES_PANE = 6002;
constexpr int ID_FIND_FIELD_BOX = 6003;
constexpr int ID_FIND_TEXT_BOX = 6004;

// The instance resources are loaded from: the program's, or the running
// module's before start-up has set it (tests that show a dialog on its own).
HINSTANCE AppInstance();

// A child window of the main window by id; none before the main window exists.
HWND MainWindowChild(int id);

// How lower layers make the main window act: a message it handles (sent, so
// it has acted when this returns) and its one-shot timers.
LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
void StartMainWindowTimer(UINT_PTR id, UINT milliseconds);
