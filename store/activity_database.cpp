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

// The stored sort property when "ActivityDatabase" has that order (or, not
// made yet, when it is one of an activity's properties); else the default,
// else the database's own first order. An open by any other property fails,
// and so would every start.
static CEPROPID ActivitySortProperty()
{
    CEPROPID orders[CEDB_MAXSORTORDER];
    const int count = ReadSortPropertiesDB(L"ActivityDatabase", orders);
    if (count < 0) {
        static const CEPROPID properties[] = {
            PROPID_CONTACTOID, PROPID_EVENT, PROPID_NEXTACTION, PROPID_NOTES, PROPID_USER1,
            PROPID_USER2, PROPID_USER3, PROPID_LASTFLAG, PROPID_DATE, PROPID_NEXTDATE,
            PROPID_REMINDINDEX, PROPID_FILEAS, PROPID_DONE};
        for (CEPROPID property : properties)
            if (property == settings.activitysortfield)
                return settings.activitysortfield;
        return DEFAULT_ACTIVITY_SORT_FIELD;
    }
    for (CEPROPID wanted : {static_cast<CEPROPID>(settings.activitysortfield), DEFAULT_ACTIVITY_SORT_FIELD})
        for (int i = 0; i < count; ++i)
            if (orders[i] == wanted)
                return wanted;
    return count > 0 ? orders[0] : DEFAULT_ACTIVITY_SORT_FIELD;
}

bool OpenActivityDatabase()
{
    settings.activitysortfield = ActivitySortProperty();
    activityDatabase = OpenCreateDB(&activityDatabaseOid, &activityRecordCount, L"ActivityDatabase",
                                    settings.activitysortfield, settings.activitysortdirection != 0);
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
    if (settings.backupdatabaseflag == 1)
        BackupDBVolume();
}
