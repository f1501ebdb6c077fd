#include "shell/merge_pending.h"

COLORREF notestextcolor = 0x000000;
COLORREF notesbkgcolor = 0xFFFFFF;
int piminterface = 0;
HBRUSH hNotesBrush = nullptr;
