#include "shell/about_box.h"

// The About box comes with the database info; until then the command does nothing.
void ShowAboutBox(HWND) {}
