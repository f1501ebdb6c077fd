#include "base/app_folders.h"

#include "platform/cedb/os/long_path.h"

#include <windows.h>
#include <shlobj.h>

static std::wstring installOverride;
static std::wstring documentsOverride;
static std::wstring dataFolder;   // chosen at the first use, kept for the run

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

bool IsFolderWritable(const std::wstring& folder)
{
    const std::wstring probe = cedb::ExtendedLengthPath(folder + L"\\vantaro-write-probe.tmp");
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// %LOCALAPPDATA%\Vantaro, as the device's own stores use it (the shell names
// the folder when the environment does not); empty when it cannot be made.
static std::wstring UserDataFolder()
{
    std::wstring base(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", &base[0], MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder)))
            return std::wstring();
        base = folder;
    } else {
        base.resize(length);
    }
    const std::wstring folder = base + L"\\Vantaro";
    if (!CreateDirectoryW(cedb::ExtendedLengthPath(folder).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        return std::wstring();
    return folder;
}

std::wstring GetDataFolder()
{
    if (dataFolder.empty()) {
        const std::wstring install = GetInstallFolder();
        dataFolder = install;
        // An install under Program Files is read-only for the user; when the
        // user's folder cannot be named either, the mount reports the denial.
        if (!IsFolderWritable(install)) {
            const std::wstring user = UserDataFolder();
            if (!user.empty())
                dataFolder = user;
        }
    }
    return dataFolder;
}

void OverrideAppFolders(const std::wstring& install, const std::wstring& documents)
{
    installOverride = install;
    documentsOverride = documents;
    dataFolder.clear();
}
