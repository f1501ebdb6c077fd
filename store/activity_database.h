// The handles the program keeps open while the main window lives.
#pragma once
#include "platform/cedb/windbase.h"

// "ActivityDatabase", opened at start-up and closed with the main window.
extern HANDLE activityDatabase;
extern CEOID activityDatabaseOid;
extern int activityRecordCount;

// The device's "Contacts Database", open only for its change notifications.
extern HANDLE contactsWatch;

// Start-up: mount the volume (asking to restore a missing one) and seed the
// label lists of a new volume.
void MountVolumeAtStartup(HWND owner);
// Start-up: open "ActivityDatabase" with the stored sort order; false when it
// cannot be opened or created, which ends start-up.
bool OpenActivityDatabase();
// Start-up: watch the device's contacts for the main window.
void OpenContactsWatch(HWND mainWindow);
// Main window destroyed: close both handles.
void CloseStoreHandles();
// After the message loop: unmount, then refresh the backup when the setting
// asks for it.
void CloseVolumeAtExit();
