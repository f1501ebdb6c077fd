// Commands of the two lists (their tap-and-hold menu, a double tap, Enter),
// which reach the main window with the list as their control, and the
// activity dialog with what follows it.
#pragma once
#include <windows.h>

// Routes a list's command to what carries it out; false when the control is
// not one of the lists or the id is not a list command.
bool RouteListCommand(HWND mainWindow, WORD id, HWND list);

// The activity dialog for an activity (-1: a new one for the current
// contact), then the main window put right again behind it.
void RunActivityDialog(HWND mainWindow, LONG oid);
