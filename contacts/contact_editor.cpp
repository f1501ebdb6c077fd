#include "contacts/contact_editor.h"

#include "base/app_folders.h"
#include "base/app_handles.h"

#include <string>
#include <vector>

int contactEditorInstalled;

// The full paths of one library name: the program's folder (empty when the
// program sits in the root), then the system folder when it can be named.
static std::vector<std::wstring> CandidatePaths(const wchar_t* name)
{
    std::vector<std::wstring> paths;
    paths.push_back(GetInstallFolder() + L"\\" + name);
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        paths.push_back(std::wstring(system) + L"\\" + name);
    return paths;
}

// An export under its known type (through the generic function type that
// conversions between function pointer types go by).
template <typename Proc>
static Proc EntryPoint(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Loads one candidate by full path; the altered search path lets the
// library find its own companions beside it rather than in the current folder.
static HMODULE LoadFromPath(const std::wstring& path, ContactEditorEntries* entries)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library)
        return nullptr;
    entries->displayContact = EntryPoint<DisplayContactWindowProc>(library, "DisplayContactWindowExtern");
    entries->createContact = EntryPoint<CreateContactProc>(library, "CreateContactExtern");
    // A library of that name without either entry point is not the editor.
    if (!entries->displayContact && !entries->createContact) {
        FreeLibrary(library);
        return nullptr;
    }
    return library;
}

HMODULE LoadContactEditorLibrary(ContactEditorEntries* entries)
{
    *entries = ContactEditorEntries();
    for (const wchar_t* name : {CONTACT_EDITOR_LIBRARY, CONTACT_EDITOR_FALLBACK_LIBRARY}) {
        for (const std::wstring& path : CandidatePaths(name)) {
            if (HMODULE library = LoadFromPath(path, entries))
                return library;
        }
    }
    *entries = ContactEditorEntries();
    return nullptr;
}

int IsContactEditorInstalled()
{
    ContactEditorEntries entries;
    HMODULE library = LoadContactEditorLibrary(&entries);
    if (!library)
        return 0;
    FreeLibrary(library);
    return 1;
}

int ShowContactInEditor(CEOID oid)
{
    ContactEditorEntries entries;
    HMODULE library = LoadContactEditorLibrary(&entries);
    if (!library)
        return 0;
    int called = 0;
    if (oid != 0 && entries.displayContact) {
        entries.displayContact(oid, 1, hMainWindow);
        called = 1;
    } else if (oid == 0 && entries.createContact) {
        entries.createContact(hMainWindow);
        called = 1;
    }
    FreeLibrary(library);
    return called;
}
