// The optional third-party contact editor, used instead of the device's
// contact card when the user chooses it and it is installed.
#pragma once
#include <windows.h>

// Opens the contact in the optional third-party editor (0: a new contact).
void ShowContactInEditor(DWORD contactOid);
// 1 when the editor's library can be loaded (it is freed again at once).
int IsContactEditorInstalled();
