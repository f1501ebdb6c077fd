#include "store/database_info.h"

#include "store/database.h"
#include "store/label_lists.h"
#include "store/volume.h"

#include <cwchar>

constexpr wchar_t ACTIVITY_DATABASE_NAME[] = L"ActivityDatabase";

// The record count from the database's own information, whatever its sort
// orders: a volume created while another activity sort field was set has no
// order on the next date, and opening by that order fails.
static int RecordCountByName(const wchar_t* name)
{
    HANDLE enumeration = CeFindFirstDatabaseEx(&volumeGuid, 0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    for (CEOID oid; (oid = CeFindNextDatabaseEx(enumeration, &volumeGuid)) != 0;) {
        CEOIDINFO info = {};
        if (!CeOidGetInfoEx(&volumeGuid, oid, &info) || info.wObjType != OBJTYPE_DATABASE)
            continue;
        if (wcscmp(info.infDatabase.szDbaseName, name) == 0) {
            count = info.infDatabase.wNumRecords;
            break;
        }
    }
    CloseHandle(enumeration);
    return count;
}

void GetDatabaseCounts(int contactTotal, DatabaseCounts* counts)
{
    counts->contacts = contactTotal;
    // Opening by the next date creates the database when it is missing.
    counts->activities = CountActivityRecordsDB(ACTIVITY_DATABASE_NAME);
    if (counts->activities == 0)
        counts->activities = RecordCountByName(ACTIVITY_DATABASE_NAME);
    static const wchar_t* const labelDatabases[] = {
        EVENTS_DATABASE, NEXT_ACTION_DATABASE, USER1_DATABASE, USER2_DATABASE, USER3_DATABASE,
    };
    counts->labels = 0;
    for (const wchar_t* name : labelDatabases)
        counts->labels += CountTextRecordsDB(name);
}

std::wstring FormatDatabaseInfo(const DatabaseCounts& counts)
{
    wchar_t text[160];
    std::swprintf(text, 160, L"Database Info:\n\nContacts Entries = %d\nActivity Entries = %d\nLabel Entries = %d",
                  counts.contacts, counts.activities, counts.labels);
    return text;
}
