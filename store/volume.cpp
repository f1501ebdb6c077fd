#include "store/volume.h"

#include "base/app_folders.h"
#include "base/message_box.h"
#include "platform/cedb/os/long_path.h"
#include "store/volume_backup.h"
#include "store/store_error.h"

CEGUID volumeGuid = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
static bool mountedThisRun;
// The run began on a new volume while a backup existed (declined, unreadable
// or not restored): the exit backup must not replace it.
static bool keepBackups;

std::wstring VolumePath()
{
    return cedb::ExtendedLengthPath(GetDataFolder() + VOLUME_FILE_NAME);
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

static bool AskToRestore(HWND owner, StagedBackup staged)
{
    const std::wstring folder = GetDocumentsFolder();
    std::wstring question =
        staged == StagedBackup::NEWEST
            ? L"The Vantaro install directory did not contain a database file. Do you want to recover using the "
              L"backup copy in your '" + folder + L"' folder?"
            : L"The Vantaro install directory did not contain a database file, and the latest backup cannot be "
              L"read. Recover using the previous one, vt1.vol.prev, in your '" + folder + L"' folder?";
    return AppMessageBox(owner, question.c_str(), L"Vantaro Warning", 0x34) == 1;
}

// The volume file is missing: offer the newest readable backup. Returns what
// the mount that follows stands for.
static int RecoverMissingVolume(HWND owner)
{
    const StagedBackup staged = StageNewestReadableBackup();
    keepBackups = staged != StagedBackup::NONE_FOUND;
    if (staged == StagedBackup::NONE_FOUND)
        return MOUNTED_NEW;
    if (staged == StagedBackup::NONE_READABLE) {
        AppMessageBox(owner,
                      (L"Vantaro found no database file, and no backup copy in your '" + GetDocumentsFolder() +
                       L"' folder can be read. It starts with a new, empty database and leaves those backups as "
                       L"they are.").c_str(),
                      L"Vantaro Warning", APP_MB_WARNING);
        return MOUNTED_NEW;
    }
    if (!AskToRestore(owner, staged)) {
        DiscardStagedBackup();
        return MOUNTED_NEW;
    }
    if (RestoreStagedBackup()) {
        keepBackups = false;
        return MOUNTED_EXISTING;
    }
    // Going on quietly would start with an empty volume and no labels; say
    // so, and treat the volume as new.
    AppMessageBox(owner, L"The backup copy could not be restored. Vantaro starts with a new, empty database.",
                  L"Error", APP_MB_WARNING);
    return MOUNTED_NEW;
}

static void ReportMountFailure(DWORD error)
{
    const std::wstring text = std::wstring(L"Database mount failed: ") + StoreErrorName(error);
    AppMessageBox(nullptr, text.c_str(), L"Error", 0);
}

static int MountFailed()
{
    DWORD error = GetLastError();
    CREATE_INVALIDGUID(&volumeGuid);
    mountedThisRun = false;
    ReportMountFailure(error);
    return MOUNT_FAILED;
}

int MountDBVolume(HWND owner)
{
    std::wstring path = VolumePath();
    int result = MOUNTED_EXISTING;
    keepBackups = false;
    // The engine knows a volume that a cut-short rename left under another
    // name, so it is asked rather than the folder.
    if (!CeMountDBVol(&volumeGuid, path.c_str(), OPEN_EXISTING)) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return MountFailed();
        result = RecoverMissingVolume(owner);
        if (!CeMountDBVol(&volumeGuid, path.c_str(), OPEN_ALWAYS))
            return MountFailed();
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

static const wchar_t* BackupFailureReason(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return L"the disk is full";
    case ERROR_ACCESS_DENIED:
        return L"access to the documents folder was denied";
    case ERROR_SHARING_VIOLATION:
        return L"another program kept the backup file in use";
    default:
        return L"the documents folder could not be written";
    }
}

bool BackupDBVolume()
{
    if (!mountedThisRun || keepBackups)
        return true;
    const DWORD error = WriteBackup();
    if (error == 0)
        return true;
    AppMessageBox(nullptr,
                  (std::wstring(L"The backup copy of your database could not be saved: ") +
                   BackupFailureReason(error) +
                   L". The database itself is not affected; the backup is made again at the next exit.")
                      .c_str(),
                  L"Warning", APP_MB_WARNING);
    return false;
}
