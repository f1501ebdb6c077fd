#include "store/volume_backup.h"

#include "base/app_folders.h"
#include "platform/cedb/core/file_system.h"
#include "platform/cedb/core/volume.h"
#include "store/volume.h"

static std::string Utf8(const std::wstring& path)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), static_cast<int>(path.size()), &text[0], length, nullptr,
                            nullptr);
    return text;
}

static cedb::FileSystem* Files()
{
    return cedb::FileSystem::Default();
}

std::wstring BackupPath()
{
    return GetDocumentsFolder() + VOLUME_FILE_NAME;
}

std::wstring PreviousBackupPath()
{
    return BackupPath() + L".prev";
}

static std::wstring StagedPath()
{
    return VolumePath() + L".restore";
}

// A copy that mounts and lists at least one database: the program's
// volumes always hold its label lists and activities. Looked at read-only,
// so that the look leaves the file as it was.
static bool HoldsDatabases(const std::wstring& path)
{
    cedb::MountOptions options;
    options.mode = cedb::kOpenExisting;
    options.read_only = true;
    std::unique_ptr<cedb::Volume> volume;
    return cedb::Volume::Mount(Files(), Utf8(path), options, &volume).ok() && !volume->databases().empty();
}

static bool Stage(const std::wstring& backup)
{
    const std::string staged = Utf8(StagedPath());
    Files()->Remove(staged);
    if (CopyToNewFile(Files(), Utf8(backup), staged).ok() && HoldsDatabases(StagedPath()))
        return true;
    Files()->Remove(staged);
    return false;
}

StagedBackup StageNewestReadableBackup()
{
    const bool newest = FileExists(BackupPath()), previous = FileExists(PreviousBackupPath());
    if (!newest && !previous)
        return StagedBackup::NONE_FOUND;
    if (newest && Stage(BackupPath()))
        return StagedBackup::NEWEST;
    if (previous && Stage(PreviousBackupPath()))
        return StagedBackup::PREVIOUS;
    return StagedBackup::NONE_READABLE;
}

bool RestoreStagedBackup()
{
    if (cedb::ReplaceByRename(Files(), Utf8(StagedPath()), Utf8(VolumePath())).ok())
        return true;
    DiscardStagedBackup();
    return false;
}

void DiscardStagedBackup()
{
    Files()->Remove(Utf8(StagedPath()));
}

DWORD WriteBackup()
{
    const std::string backup = Utf8(BackupPath()), temporary = backup + ".tmp";
    cedb::FileSystem* files = Files();
    cedb::Status s = files->Remove(temporary);
    if (s.ok())
        s = CopyToNewFile(files, Utf8(VolumePath()), temporary);
    // Only a backup that can be restored becomes the previous generation:
    // a damaged one must not push out the last good copy.
    if (s.ok() && files->Exists(backup) && HoldsDatabases(BackupPath()))
        s = cedb::ReplaceByRename(files, backup, Utf8(PreviousBackupPath()));
    if (s.ok())
        s = cedb::ReplaceByRename(files, temporary, backup);
    if (!s.ok())
        files->Remove(temporary);
    return s.code;
}
