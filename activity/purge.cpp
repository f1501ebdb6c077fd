#include "activity/purge.h"

// The purge dialog comes with purge itself; until then the command does nothing.
void ShowPurgeDialog(HWND) {}
