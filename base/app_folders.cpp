#include "base/app_folders.h"

#include <windows.h>
#include <shlobj.h>

static std::wstring installOverride;
static std::wstring documentsOverride;

static std::wstring GetModulePath()
{
    // The buffer grows until the whole path fits: install folders on a desktop
    // are often far longer than a handheld's.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOfPath(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0)
        return std::wstring();
    return path.substr(0, slash);
}

std::wstring GetInstallFolder()
{
    if (!installOverride.empty())
        return installOverride;
    return FolderOfPath(GetModulePath());
}

std::wstring GetDocumentsFolder()
{
    if (!documentsOverride.empty())
        return documentsOverride;
    wchar_t folder[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE))
        return folder;
    return L"\\My Documents";
}

void OverrideAppFolders(const std::wstring& install, const std::wstring& documents)
{
    installOverride = install;
    documentsOverride = documents;
}
