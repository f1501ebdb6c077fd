#include "contacts/contact_commands.h"

// The third-party editor comes with its own integration; until then nothing
// opens in it.
void ShowContactInEditor(DWORD) {}
