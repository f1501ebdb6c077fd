#include "store/activity_record.h"

#include "base/message_box.h"
#include "base/text.h"
#include "store/database.h"

#include <cstdlib>
#include <string>

static CEPROPVAL StringProperty(CEPROPID id, wchar_t* text)
{
    CEPROPVAL value = {};
    value.propid = id;
    value.val.lpwstr = text;
    return value;
}

static CEPROPVAL ShortProperty(CEPROPID id, int number)
{
    CEPROPVAL value = {};
    value.propid = id;
    value.val.iVal = static_cast<short>(number);
    return value;
}

static CEPROPVAL DateProperty(CEPROPID id, double date)
{
    CEPROPVAL value = {};
    value.propid = id;
    value.val.dblVal = date;
    return value;
}

static void Terminate(ActivityRecord& record)
{
    record.fileAs[LABEL_CAPACITY - 1] = 0;
    record.event[LABEL_CAPACITY - 1] = 0;
    record.nextAction[LABEL_CAPACITY - 1] = 0;
    record.notes[NOTES_CAPACITY - 1] = 0;
    record.user1[LABEL_CAPACITY - 1] = 0;
    record.user2[LABEL_CAPACITY - 1] = 0;
    record.user3[LABEL_CAPACITY - 1] = 0;
}

static bool SeekRecord(HANDLE database, CEOID oid, const wchar_t* operation)
{
    // No index asked for: counting the record's position costs a walk
    // through the whole sort order, and nothing here needs it.
    if (CeSeekDatabase(database, CEDB_SEEK_CEOID, oid, nullptr) != 0)
        return true;
    std::wstring text = std::wstring(L"No record found '") + operation + L"'";
    AppMessageBox(nullptr, text.c_str(), L"Error", 0);
    return false;
}

// Seeks to the record and reads all its properties; failures are reported in
// the operation's name. The caller releases the result with LocalFree.
static CEPROPVAL* ReadRecordProperties(HANDLE database, CEOID oid, const wchar_t* operation, WORD* count)
{
    *count = 0;
    if (!SeekRecord(database, oid, operation))
        return nullptr;
    LPBYTE data = nullptr;
    DWORD size = 0;
    if (CeReadRecordProps(database, CEDB_ALLOWREALLOC, count, nullptr, &data, &size) == 0) {
        if (data)
            LocalFree(data);
        *count = 0;
        std::wstring text = std::wstring(L"Failed to read record '") + operation + L"'";
        AppMessageBox(nullptr, text.c_str(), L"error", 0);
        return nullptr;
    }
    return reinterpret_cast<CEPROPVAL*>(data);
}

CEOID WriteActivityRecordDB(HANDLE database, CEOID oid, ActivityRecord record)
{
    if (oid != NEW_ACTIVITY_RECORD && !SeekRecord(database, oid, L"WriteActivityRecordDB"))
        return 0;
    Terminate(record);

    CEPROPVAL values[13] = {};
    values[0].propid = PROPID_CONTACTOID;
    values[0].val.ulVal = record.contactOid;
    values[1] = StringProperty(PROPID_EVENT, record.event);
    values[2] = StringProperty(PROPID_NEXTACTION, record.nextAction);
    values[3] = StringProperty(PROPID_NOTES, record.notes);
    values[4] = StringProperty(PROPID_USER1, record.user1);
    values[5] = StringProperty(PROPID_USER2, record.user2);
    values[6] = StringProperty(PROPID_USER3, record.user3);
    values[7] = ShortProperty(PROPID_REMINDINDEX, record.remindIndex);
    values[8].propid = PROPID_LASTFLAG;
    values[8].val.boolVal = record.lastFlag ? TRUE : FALSE;
    values[9] = DateProperty(PROPID_DATE, record.date);
    values[10] = DateProperty(PROPID_NEXTDATE, record.nextDate);
    values[11] = StringProperty(PROPID_FILEAS, record.fileAs);
    values[12] = ShortProperty(PROPID_DONE, record.done);

    CEOID written = CeWriteRecordProps(database, oid == NEW_ACTIVITY_RECORD ? 0 : oid, 13, values);
    return NoteWriteResult(written) && FlushVolume() ? written : 0;
}

// The service merges the given properties into the stored record.
static CEOID WriteActivityKeys(HANDLE database, CEOID oid, CEPROPVAL* values, WORD count)
{
    CEOID written = 0;
    // Object id 0 would make a new record of these properties alone.
    if (oid == 0)
        SetLastError(ERROR_INVALID_PARAMETER);
    else
        written = CeWriteRecordProps(database, oid, count, values);
    return NoteWriteResult(written) && FlushVolume() ? written : 0;
}

CEOID WriteActivityLastFlagDB(HANDLE database, CEOID oid, BOOL lastFlag)
{
    CEPROPVAL value = {};
    value.propid = PROPID_LASTFLAG;
    value.val.boolVal = lastFlag ? TRUE : FALSE;
    return WriteActivityKeys(database, oid, &value, 1);
}

CEOID WriteActivityContactDB(HANDLE database, CEOID oid, CEOID contactOid, BOOL lastFlag)
{
    CEPROPVAL values[2] = {};
    values[0].propid = PROPID_CONTACTOID;
    values[0].val.ulVal = contactOid;
    values[1].propid = PROPID_LASTFLAG;
    values[1].val.boolVal = lastFlag ? TRUE : FALSE;
    return WriteActivityKeys(database, oid, values, 2);
}

static void CopyProperty(const CEPROPVAL& value, ActivityRecord* record)
{
    if (value.wFlags & CEDB_PROPNOTFOUND)
        return;
    switch (value.propid) {
    case PROPID_CONTACTOID: record->contactOid = value.val.ulVal; break;
    case PROPID_EVENT: CopyText(record->event, value.val.lpwstr); break;
    case PROPID_NEXTACTION: CopyText(record->nextAction, value.val.lpwstr); break;
    case PROPID_NOTES: CopyText(record->notes, value.val.lpwstr); break;
    case PROPID_USER1: CopyText(record->user1, value.val.lpwstr); break;
    case PROPID_USER2: CopyText(record->user2, value.val.lpwstr); break;
    case PROPID_USER3: CopyText(record->user3, value.val.lpwstr); break;
    case PROPID_LASTFLAG: record->lastFlag = value.val.boolVal; break;
    case PROPID_DATE: record->date = value.val.dblVal; break;
    case PROPID_NEXTDATE: record->nextDate = value.val.dblVal; break;
    case PROPID_REMINDINDEX: record->remindIndex = value.val.iVal; break;
    case PROPID_FILEAS: CopyText(record->fileAs, value.val.lpwstr); break;
    case PROPID_DONE: record->done = value.val.iVal; break;
    default: break;
    }
}

CEOID ReadActivityRecordDB(HANDLE database, CEOID oid, ActivityRecord* record)
{
    WORD count = 0;
    CEPROPVAL* values = ReadRecordProperties(database, oid, L"ReadActivityRecordDB", &count);
    if (!values)
        return 0;
    for (WORD i = 0; i < count; ++i)
        CopyProperty(values[i], record);
    LocalFree(values);
    return oid;
}

// Reads the record at the handle's position, which then moves on: all its
// properties, or the `wanted` ones. Failures are reported in the operation's
// name (none for a null operation), except the end when the caller asks to
// be told of it in *end.
static CEOID ReadNextRecord(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size,
                            const wchar_t* operation, const CEPROPID* wanted = nullptr, WORD wantedCount = 0,
                            bool* end = nullptr)
{
    WORD count = wantedCount;
    const CEOID oid =
        CeReadRecordProps(database, CEDB_ALLOWREALLOC, &count, const_cast<CEPROPID*>(wanted), buffer, size);
    const bool atEnd = oid == 0 && end && GetLastError() == ERROR_NO_MORE_ITEMS;
    if (end)
        *end = atEnd;
    if (oid == 0) {
        if (!atEnd && operation)
            AppMessageBox(nullptr, (std::wstring(L"Failed to read record '") + operation + L"'").c_str(), L"error",
                          0);
        return 0;
    }
    const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(*buffer);
    for (WORD i = 0; i < count; ++i)
        CopyProperty(values[i], record);
    return oid;
}

CEOID ReadNextActivityRecordDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size)
{
    return ReadNextRecord(database, record, buffer, size, L"ReadNextActivityRecordDB");
}

CEOID ReadCurrentActivityRecordDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size)
{
    return ReadNextRecord(database, record, buffer, size, nullptr);
}

CEOID ReadNextActivityKeysDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size, bool* end)
{
    static const CEPROPID wanted[] = {PROPID_CONTACTOID, PROPID_DATE, PROPID_NEXTDATE, PROPID_LASTFLAG,
                                      PROPID_FILEAS};
    return ReadNextRecord(database, record, buffer, size, L"ReadNextActivityKeysDB", wanted,
                          sizeof wanted / sizeof wanted[0], end);
}

// Reads the record and tells whether its property `id` is present and passes
// `test`; failures and absence give 0. The service's buffer is always freed.
template <class Test>
static int ReadPropertyFlag(HANDLE database, CEOID oid, const wchar_t* operation, CEPROPID id, Test test)
{
    WORD count = 0;
    CEPROPVAL* values = ReadRecordProperties(database, oid, operation, &count);
    if (!values)
        return 0;
    int flag = 0;
    for (WORD i = 0; i < count; ++i) {
        if (values[i].propid == id && !(values[i].wFlags & CEDB_PROPNOTFOUND)) {
            flag = test(values[i].val) ? 1 : 0;
            break;
        }
    }
    LocalFree(values);
    return flag;
}

int ReadActivityNoteFlagDB(HANDLE database, CEOID oid)
{
    return ReadPropertyFlag(database, oid, L"ReadActivityNoteFlagDB", PROPID_NOTES,
                            [](const CEVALUNION& value) { return value.lpwstr && value.lpwstr[0]; });
}

int ReadActivityProcessedFlagDB(HANDLE database, CEOID oid)
{
    return ReadPropertyFlag(database, oid, L"ReadActivityProcessedFlagDB", PROPID_DONE,
                            [](const CEVALUNION& value) { return value.iVal == 1; });
}
