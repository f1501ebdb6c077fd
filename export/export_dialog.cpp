#include "export/export_dialog.h"

// Comes with the export dialog; until then there is nothing to show.
void ShowExportDialog(HWND) {}
