#include "contacts/contact_editor.h"

// The third-party editor's integration comes later; until then nothing
// opens in it.
void ShowContactInEditor(DWORD) {}
