#include "shell/view_colors_pending.h"

COLORREF notestextcolor = 0x000000;
COLORREF notesbkgcolor = 0xFFFFFF;
HBRUSH hNotesBrush = nullptr;
