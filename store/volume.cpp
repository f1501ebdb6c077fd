#include "store/volume.h"

#include "base/app_folders.h"
#include "base/message_box.h"
#include "store/store_error.h"

CEGUID volumeGuid = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
static bool mountedThisRun;

static const wchar_t VOLUME_FILE_NAME[] = L"\\vt1.vol";

std::wstring VolumePath()
{
    return GetInstallFolder() + VOLUME_FILE_NAME;
}

std::wstring BackupPath()
{
    return GetDocumentsFolder() + VOLUME_FILE_NAME;
}

bool FileExists(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool CopyFileSafely(const std::wstring& from, const std::wstring& to)
{
    const std::wstring temporary = to + L".tmp";
    if (!CopyFileW(from.c_str(), temporary.c_str(), FALSE)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool RestoreDBVolume()
{
    return CopyFileSafely(BackupPath(), VolumePath());
}

void BackupDBVolume()
{
    if (mountedThisRun)
        CopyFileSafely(VolumePath(), BackupPath());
}

static bool AskToRestore(HWND owner)
{
    std::wstring question =
        L"The Vantaro install directory did not contain a database file. Do you want to recover "
        L"using the backup copy in your '" + GetDocumentsFolder() + L"' folder?";
    return AppMessageBox(owner, question.c_str(), L"Vantaro Warning", 0x34) == 1;
}

static void ReportMountFailure(DWORD error)
{
    const std::wstring text = std::wstring(L"Database mount failed: ") + StoreErrorName(error);
    AppMessageBox(nullptr, text.c_str(), L"Error", 0);
}

int MountDBVolume(HWND owner)
{
    std::wstring path = VolumePath();
    int result = MOUNTED_EXISTING;
    if (!FileExists(path)) {
        result = MOUNTED_NEW;
        if (FileExists(BackupPath()) && AskToRestore(owner)) {
            if (RestoreDBVolume()) {
                result = MOUNTED_EXISTING;
            } else {
                // Going on quietly would start with an empty volume and no
                // labels; say so, and treat the volume as new.
                AppMessageBox(owner,
                              L"The backup copy could not be restored. Vantaro starts with a new, "
                              L"empty database.",
                              L"Error", 0x30);
            }
        }
    }
    if (!CeMountDBVol(&volumeGuid, &path[0], OPEN_ALWAYS)) {
        DWORD error = GetLastError();
        CREATE_INVALIDGUID(&volumeGuid);
        mountedThisRun = false;
        ReportMountFailure(error);
        return MOUNT_FAILED;
    }
    mountedThisRun = true;
    return result;
}

void UnmountDBVolume()
{
    if (!CHECK_INVALIDGUID(&volumeGuid))
        CeUnmountDBVol(&volumeGuid);
    CREATE_INVALIDGUID(&volumeGuid);
}
