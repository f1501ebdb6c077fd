#include "contacts/contact_editor.h"
#include <initializer_list>

// The third-party editor's calls come later; until then nothing opens in it.
void ShowContactInEditor(DWORD) {}

int IsContactEditorInstalled()
{
    for (const wchar_t* library : {L"PITools.dll", L"PINewEditUI.dll"}) {
        if (HMODULE module = LoadLibraryW(library)) {
            FreeLibrary(module);
            return 1;
        }
    }
    return 0;
}
