#include "store/database.h"

#include "base/app_handles.h"
#include "base/message_box.h"
#include "base/text.h"
#include "store/activity_record.h"
#include "store/store_error.h"
#include "store/volume.h"

#include <cwchar>

// Bulk changes open at the moment; while there is one, flushes wait for its end.
static int bulkChanges;
static bool flushPending;

static bool FlushNow()
{
    if (CeFlushDBVol(&volumeGuid))
        return true;
    NoteStoreFailure(GetLastError());
    return false;
}

bool FlushVolume()
{
    if (bulkChanges > 0) {
        flushPending = true;
        return true;
    }
    return FlushNow();
}

void BeginBulkChange()
{
    ++bulkChanges;
}

bool EndBulkChange()
{
    if (bulkChanges > 0 && --bulkChanges == 0 && flushPending) {
        flushPending = false;
        return FlushNow();
    }
    return true;
}

bool NoteWriteResult(CEOID result)
{
    if (result == 0)
        NoteStoreFailure(GetLastError());
    return result != 0;
}

static HANDLE OpenByName(CEOID* oid, const wchar_t* name, CEPROPID sortProperty)
{
    // A request without a window: no change notifications are wanted.
    CENOTIFYREQUEST request = {};
    request.dwSize = sizeof request;
    wchar_t nameBuffer[CEDB_MAXDBASENAMELEN];
    if (name && !CopyText(nameBuffer, name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return CeOpenDatabaseEx(&volumeGuid, oid, name ? nameBuffer : nullptr, sortProperty,
                            CEDB_AUTOINCREMENT, &request);
}

static CEOID CreateDatabase(const wchar_t* name, CEPROPID sortProperty, bool descending)
{
    CEDBASEINFO info = {};
    info.dwFlags = CEDB_VALIDCREATE;
    CopyText(info.szDbaseName, name);
    info.dwDbaseType = 0;
    info.wNumSortOrder = 3;
    info.rgSortSpecs[0].propid = sortProperty;
    info.rgSortSpecs[0].dwFlags = descending ? CEDB_SORT_DESCENDING : 0;
    info.rgSortSpecs[1].propid = PROPID_CONTACTOID;
    info.rgSortSpecs[2].propid = PROPID_LASTFLAG;
    return CeCreateDatabaseEx(&volumeGuid, &info);
}

HANDLE OpenCreateDB(CEOID* oid, int* count, const wchar_t* name, CEPROPID sortProperty, bool descending)
{
    *oid = 0;
    *count = 0;
    HANDLE database = OpenByName(oid, name, sortProperty);
    if (database == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_NOT_ENOUGH_MEMORY) {
            AppMessageBox(hMainWindow, L"Not enough memory 'OpenCreateDB'", L"Error", 0);
            return nullptr;
        }
        if (error != ERROR_FILE_NOT_FOUND)
            return nullptr;
        *oid = CreateDatabase(name, sortProperty, descending);
        if (!NoteWriteResult(*oid)) {
            AppMessageBox(hMainWindow, L"Database creation failed 'OpenCreateDB'", L"Error", 0);
            return nullptr;
        }
        // A new database is a change like any other: made durable at once,
        // so an empty label list survives a crash before the next write. One
        // that could not be is gone again, and the caller reports that.
        if (!FlushVolume()) {
            *oid = 0;
            return nullptr;
        }
        database = OpenByName(oid, nullptr, sortProperty);
        if (database == INVALID_HANDLE_VALUE)
            return nullptr;
    }
    CEOIDINFO info = {};
    if (CeOidGetInfoEx(&volumeGuid, *oid, &info))
        *count = info.infDatabase.wNumRecords;
    return database;
}

int ReadSortPropertiesDB(const wchar_t* name, CEPROPID* properties)
{
    CEOID oid = 0;
    HANDLE database = OpenByName(&oid, name, 0);
    if (database == INVALID_HANDLE_VALUE)
        return -1;
    CloseHandle(database);
    CEOIDINFO info = {};
    if (!CeOidGetInfoEx(&volumeGuid, oid, &info))
        return 0;
    const int count = info.infDatabase.wNumSortOrder < CEDB_MAXSORTORDER ? info.infDatabase.wNumSortOrder
                                                                         : CEDB_MAXSORTORDER;
    for (int i = 0; i < count; ++i)
        properties[i] = info.infDatabase.rgSortSpecs[i].propid;
    return count;
}

CEOID WriteTextRecordDB(HANDLE database, const wchar_t* text)
{
    CEPROPVAL value = {};
    value.propid = PROPID_TEXT;
    value.val.lpwstr = const_cast<LPWSTR>(text ? text : L"");
    CEOID oid = CeWriteRecordProps(database, 0, 1, &value);
    return NoteWriteResult(oid) && FlushVolume() ? oid : 0;
}

CEOID ReadTextRecordDB(HANDLE database, wchar_t* buffer, size_t capacity)
{
    WORD count = 0;
    LPBYTE data = nullptr;
    DWORD size = 0;
    CEOID oid = CeReadRecordProps(database, CEDB_ALLOWREALLOC, &count, nullptr, &data, &size);
    if (oid == 0) {
        AppMessageBox(nullptr, L"Failed to read record", L"error", 0);
        CopyText(buffer, capacity, L"");
        if (data)
            LocalFree(data);
        return 0;
    }
    const CEPROPVAL* first = reinterpret_cast<const CEPROPVAL*>(data);
    // A record of another shape yields an empty text rather than garbage.
    if (count > 0 && TypeFromPropID(first->propid) == CEVT_LPWSTR && !(first->wFlags & CEDB_PROPNOTFOUND))
        CopyText(buffer, capacity, first->val.lpwstr);
    else
        CopyText(buffer, capacity, L"");
    LocalFree(data);
    return oid;
}

bool DeleteRecordDB(HANDLE database, CEOID oid)
{
    // No index asked for: counting the position walks the whole sort order.
    if (CeSeekDatabase(database, CEDB_SEEK_CEOID, oid, nullptr) == 0) {
        AppMessageBox(nullptr, L"No record found 'DeleteRecordDB'", L"Error", 0);
        return false;
    }
    return NoteWriteResult(CeDeleteRecord(database, oid)) && FlushVolume();
}

static int CountRecords(const wchar_t* name, CEPROPID sortProperty)
{
    CEOID oid = 0;
    int count = 0;
    HANDLE database = OpenCreateDB(&oid, &count, name, sortProperty, false);
    if (!database)
        return 0;
    CloseHandle(database);
    return count;
}

int CountActivityRecordsDB(const wchar_t* name)
{
    return CountRecords(name, PROPID_NEXTDATE);
}

int CountTextRecordsDB(const wchar_t* name)
{
    return CountRecords(name, PROPID_TEXT);
}

int DeleteNamedDB(const wchar_t* name)
{
    HANDLE enumeration = CeFindFirstDatabaseEx(&volumeGuid, 0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return 0;
    int deleted = 0;
    for (CEOID oid; (oid = CeFindNextDatabaseEx(enumeration, &volumeGuid)) != 0;) {
        CEOIDINFO info = {};
        if (!CeOidGetInfoEx(&volumeGuid, oid, &info))
            break;
        if (wcscmp(info.infDatabase.szDbaseName, name) != 0)
            continue;
        // A deletion the flush could not keep is undone: the caller reports it.
        if (NoteWriteResult(CeDeleteDatabaseEx(&volumeGuid, oid)))
            deleted = FlushVolume() ? 1 : 0;
        break;
    }
    CloseHandle(enumeration);
    return deleted;
}
