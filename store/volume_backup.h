// The backup copies of the volume in the documents folder: "vt1.vol", the
// newest, and "vt1.vol.prev", the one it replaced. Every copy is written and
// flushed under a temporary name and renamed into place, so each file is
// always whole.
#pragma once
#include <windows.h>

#include <string>

std::wstring BackupPath();
std::wstring PreviousBackupPath();

enum class StagedBackup {
    NONE_FOUND,     // no backup in the documents folder
    NONE_READABLE,  // backups exist, but none mounts with a database in it
    NEWEST,         // BackupPath() is staged
    PREVIOUS,       // BackupPath() cannot be read; PreviousBackupPath() is staged
};

// Copies the newest backup that mounts and holds a database beside the
// volume file, ready to take its place.
StagedBackup StageNewestReadableBackup();
// Moves the staged copy into place as the volume file; false when it could
// not (the staged copy is then removed).
bool RestoreStagedBackup();
void DiscardStagedBackup();

// Copies the volume file to BackupPath(), keeping the backup it replaces as
// PreviousBackupPath(). Returns 0 or the error; the newest earlier backup
// is kept either way.
DWORD WriteBackup();
