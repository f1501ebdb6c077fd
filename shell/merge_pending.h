// Globals that the settings store and the view brushes define. This header
// and its .cpp only hold their places until those merge, and then go.
#pragma once
#include <windows.h>

extern COLORREF notestextcolor;
extern COLORREF notesbkgcolor;
extern int piminterface;
extern HBRUSH hNotesBrush;
