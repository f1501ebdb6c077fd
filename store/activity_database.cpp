#include "store/activity_database.h"

#include "settings/settings.h"
#include "base/message_box.h"
#include "store/activity_record.h"
#include "store/database.h"
#include "store/label_lists.h"
#include "store/store_error.h"
#include "store/volume.h"

HANDLE activityDatabase;
CEOID activityDatabaseOid;
int activityRecordCount;
HANDLE contactsWatch;

void MountVolumeAtStartup(HWND owner)
{
    if (MountDBVolume(owner) == MOUNTED_NEW && !SeedDefaultLabels())
        ReportStoreFailure(owner, L"The default labels could not be saved", L"add them on the Descriptor page");
}

bool OpenActivityDatabase()
{
    activityDatabase = OpenCreateDB(&activityDatabaseOid, &activityRecordCount, L"ActivityDatabase",
                                    activitysortfield, activitysortdirection != 0);
    if (activityDatabase)
        return true;
    AppMessageBox(nullptr, L"Error in call to OpenCreateDB 'InitInstance'", L"Error", 0x30);
    return false;
}

void OpenContactsWatch(HWND mainWindow)
{
    CEGUID objectStore;
    CREATE_SYSTEMGUID(&objectStore);
    CENOTIFYREQUEST request = {};
    request.dwSize = sizeof request;
    request.hwnd = mainWindow;
    request.dwFlags = CEDB_EXNOTIFICATION;
    CEOID oid = 0;
    wchar_t name[] = L"Contacts Database";
    HANDLE watch = CeOpenDatabaseEx(&objectStore, &oid, name, 0, 0, &request);
    contactsWatch = watch == INVALID_HANDLE_VALUE ? nullptr : watch;
}

void CloseStoreHandles()
{
    if (contactsWatch) {
        CloseHandle(contactsWatch);
        contactsWatch = nullptr;
    }
    if (activityDatabase) {
        CloseHandle(activityDatabase);
        activityDatabase = nullptr;
    }
}

void CloseVolumeAtExit()
{
    UnmountDBVolume();
    if (backupdatabaseflag == 1)
        BackupDBVolume();
}
