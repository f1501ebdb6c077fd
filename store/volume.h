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

// Mounts the volume; when it is missing, offers the newest readable backup.
int MountDBVolume(HWND owner);
void UnmountDBVolume();
// Refreshes the backups in the documents folder (volume_backup.h) and tells
// the user when that failed. Skipped unless this run mounted the volume, so a
// damaged file never replaces a good backup, and skipped when the run began
// on a new volume although a backup existed: that backup is then the only
// copy of the user's history. False when the copy failed.
bool BackupDBVolume();

// The volume's file name, in the install folder and, as its backup, in the
// documents folder.
constexpr wchar_t VOLUME_FILE_NAME[] = L"\\vt1.vol";

bool FileExists(const std::wstring& path);
// The volume file in the data folder, in the form file calls take at any length.
std::wstring VolumePath();
