// The program's database volume "vt1.vol": mount, unmount, backup copy.
#pragma once
#include "platform/cedb/windbase.h"

#include <string>

// Filled by the mount; invalid (all bits set) whenever no volume is mounted,
// so that no database call can reach the device's object store by mistake.
extern CEGUID volumeGuid;

enum MountResult {
    MOUNTED_EXISTING = 0,   // the volume file was there, or was restored
    MOUNT_FAILED = 1,
    MOUNTED_NEW = 2,        // an empty volume was created: seed the defaults
};

int MountDBVolume(HWND owner);
void UnmountDBVolume();
// Copies the volume to the documents folder; skipped unless this run
// mounted the volume, so a damaged file never replaces a good backup.
void BackupDBVolume();
// Copies the backup over the volume file; false when the copy failed.
bool RestoreDBVolume();

bool FileExists(const std::wstring& path);
// The volume file in the data folder, in the form file calls take at any length.
std::wstring VolumePath();
std::wstring BackupPath();

// Copies a file through a temporary name and renames it into place, so the
// target is either the old file or a complete copy.
bool CopyFileSafely(const std::wstring& from, const std::wstring& to);
