// The notes pane's colours. The settings store and the view brushes own
// these; this header and its .cpp only hold their places until they merge.
#pragma once
#include <windows.h>

extern COLORREF notestextcolor;
extern COLORREF notesbkgcolor;
extern HBRUSH hNotesBrush;
