// The context menu that both lists open on tap-and-hold.
#pragma once
#include <windows.h>

// Builds the menu for the list (contacts: Edit, Delete, Info; activities:
// Edit, Delete and Mark Done or Mark Not Done) and tracks it at the tap point
// (list client coordinates). The chosen command goes to the list itself.
void ShowListContextMenu(HWND list, POINT tap);

// The menu as ShowListContextMenu would track it; the caller destroys the
// returned menu (the resource menu whose first popup it is). Empty when the
// resource cannot be loaded.
HMENU BuildListContextMenu(HWND list, HMENU* popup);
