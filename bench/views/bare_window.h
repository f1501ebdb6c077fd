// The platform's floor for a start-up: a top-level window with the kinds of
// children the main window has (a menu bar, an edit, two report list views
// with headers), created and shown with nothing of the program behind it.
#pragma once
#include <windows.h>

// Registers its class on the first call; the window is shown and still to
// be painted. Closing it quits the thread's message loop when `quits`.
HWND CreateBareWindow(HINSTANCE instance, bool quits);
