#include "store/activity_queries.h"

#include "settings/settings.h"
#include "base/message_box.h"
#include "base/text.h"
#include "store/activity_database.h"
#include "store/database.h"
#include "store/find_filter.h"
#include "store/volume.h"
#include "platform/cedb/change_stamp.h"

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr int OID_ARRAY_STEP = 100;
constexpr size_t DELETE_BATCH = 256;

// A growing array of object ids in the caller's malloc'd storage.
struct OidArray {
    CEOID** items;
    int capacity;
    int count;

    bool Reset()
    {
        count = 0;
        capacity = 0;
        void* storage = std::realloc(*items, OID_ARRAY_STEP * sizeof(CEOID));
        if (!storage)
            return false;
        *items = static_cast<CEOID*>(storage);
        capacity = OID_ARRAY_STEP;
        return true;
    }

    bool Append(CEOID oid)
    {
        if (count == capacity) {
            void* grown = std::realloc(*items, (static_cast<size_t>(capacity) + OID_ARRAY_STEP) * sizeof(CEOID));
            if (!grown)
                return false;
            *items = static_cast<CEOID*>(grown);
            capacity += OID_ARRAY_STEP;
        }
        (*items)[count++] = oid;
        return true;
    }
};

// Whether the record's find column contains the find text; the record is the
// scan's work record, so a failed read judges what it held before. The read
// goes through the start-up handle, so the scan's own position stays put.
bool MatchesFind(CEOID oid, ActivityRecord* work)
{
    ReadActivityRecordDB(activityDatabase, oid, work);
    wchar_t text[COLUMN_TEXT_CAPACITY];
    GetActivityColumnText(*work, settings.lastactivityfindfield, text, COLUMN_TEXT_CAPACITY, 0);
    LowerCaseText(text);
    return MatchesFindText(text);
}

} // namespace

void getActivityOIDList(CEOID** oids, CEOID contactOid, int* count, int applyFind)
{
    *count = 0;
    OidArray array = {oids, 0, 0};
    if (!array.Reset())
        return;

    CEOID databaseOid = 0;
    int records = 0;
    HANDLE database = OpenCreateDB(&databaseOid, &records, L"ActivityDatabase", PROPID_CONTACTOID, false);
    if (!database) {
        AppMessageBox(nullptr, L"Error in call to OpenCreateDB 'getActivityOIDList'", L"Error", 0x30);
        return;
    }

    const bool filter = FindFilterApplies(applyFind, FIND_MODE_ACTIVITIES);
    ActivityRecord work = {};
    DWORD index = 0;
    auto offer = [&](CEOID oid) {
        if (!filter || MatchesFind(oid, &work))
            return array.Append(oid);
        return true;
    };

    if (contactOid == 0) {
        for (DWORD offset = 0;; ++offset) {
            CEOID oid = CeSeekDatabase(database, CEDB_SEEK_BEGINNING, offset, &index);
            if (oid == 0 || !offer(oid))
                break;
        }
    } else {
        CEPROPVAL key = {};
        key.propid = PROPID_CONTACTOID;
        key.val.ulVal = contactOid;
        CEOID oid = CeSeekDatabase(database, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), nullptr);
        if (oid == 0) {
            std::free(*oids);
            *oids = nullptr;
            CloseHandle(database);
            return;
        }
        while (oid != 0 && offer(oid))
            oid = CeSeekDatabase(database, CEDB_SEEK_VALUENEXTEQUAL, reinterpret_cast<DWORD_PTR>(&key), nullptr);
    }
    *count = array.count;
    CloseHandle(database);
}

struct FlaggedActivity {
    CEOID oid;
    ActivityRecord record;
};

// Reads the flagged records in the order of the last flag's sort order. They
// stand together in that order: one seek to the first, then each read moves
// on to the next, until a record is not flagged. An unreadable record is
// stepped over. False when the database cannot be opened (reported under the
// operation's name).
static bool ReadFlaggedActivities(const wchar_t* failure, std::vector<FlaggedActivity>* flaggedRecords)
{
    CEOID databaseOid = 0;
    int records = 0;
    HANDLE database = OpenCreateDB(&databaseOid, &records, L"ActivityDatabase", PROPID_LASTFLAG, false);
    if (!database) {
        AppMessageBox(nullptr, failure, L"Error", 0x30);
        return false;
    }
    CEPROPVAL flagged = {};
    flagged.propid = PROPID_LASTFLAG;
    flagged.val.boolVal = TRUE;
    if (CeSeekDatabase(database, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&flagged), nullptr)) {
        LPBYTE buffer = nullptr;
        DWORD size = 0;
        for (;;) {
            FlaggedActivity read = {};
            read.oid = ReadCurrentActivityRecordDB(database, &read.record, &buffer, &size);
            if (read.oid == 0) {
                if (!CeSeekDatabase(database, CEDB_SEEK_CURRENT, 1, nullptr))
                    break;
                continue;
            }
            if (read.record.lastFlag != TRUE)
                break;
            flaggedRecords->push_back(read);
        }
        if (buffer)
            LocalFree(buffer);
    }
    CloseHandle(database);
    return true;
}

// A walk of the flagged records, with its index by contact once asked for.
struct FlaggedWalk {
    std::vector<FlaggedActivity> records;
    LatestActivities latest;
    bool indexed = false;
};

// The flagged records, null when the database cannot be opened. The list,
// the find and a sort by the latest activities all walk them, one after
// another: the walk is kept while nothing in the store changes.
static std::shared_ptr<FlaggedWalk> FlaggedActivities(const wchar_t* failure)
{
    static std::shared_ptr<FlaggedWalk> kept;
    static unsigned long long keptStamp = 0;
    if (!kept || CedbChangeStamp() != keptStamp) {
        auto walked = std::make_shared<FlaggedWalk>();
        if (!ReadFlaggedActivities(failure, &walked->records))
            return nullptr;
        kept = std::move(walked);
        // Opening may have created the database: the walk holds from then.
        keptStamp = CedbChangeStamp();
    }
    return kept;
}

// Hands each flagged record to visit(oid, record); false when the database
// cannot be opened.
template <class Visit>
static bool VisitFlaggedActivities(const wchar_t* failure, Visit visit)
{
    const std::shared_ptr<FlaggedWalk> flagged = FlaggedActivities(failure);
    if (!flagged)
        return false;
    for (const FlaggedActivity& activity : flagged->records)
        visit(activity.oid, activity.record);
    return true;
}

void getLastActivityOIDList(CEOID** latest, const CEOID* contacts, int contactCount)
{
    getLastActivityOIDList(latest, contacts, contactCount, nullptr);
}

void getLastActivityOIDList(CEOID** latest, const CEOID* contacts, int contactCount,
                            const std::function<void(int, const ActivityRecord&)>& visit)
{
    if (contactCount <= 0 || !contacts) {
        std::free(*latest);
        *latest = nullptr;
        return;
    }
    void* storage = std::realloc(*latest, static_cast<size_t>(contactCount) * sizeof(CEOID));
    if (!storage)
        return;
    *latest = static_cast<CEOID*>(storage);
    std::fill(*latest, *latest + contactCount, 0u);

    std::unordered_map<CEOID, int> rowOf;
    rowOf.reserve(static_cast<size_t>(contactCount));
    for (int row = contactCount - 1; row >= 0; --row)
        rowOf[contacts[row]] = row;
    VisitFlaggedActivities(L"Error in call to OpenCreateDB 'getLastActivityOIDList'",
                           [&](CEOID oid, const ActivityRecord& record) {
                               // A later flagged activity of the same contact (a damaged
                               // database) wins over an earlier one.
                               const auto row = rowOf.find(record.contactOid);
                               if (row == rowOf.end())
                                   return;
                               (*latest)[row->second] = oid;
                               if (visit)
                                   visit(row->second, record);
                           });
}

std::shared_ptr<const LatestActivities> LoadLatestActivities()
{
    const std::shared_ptr<FlaggedWalk> walk = FlaggedActivities(L"Error in call to OpenCreateDB 'LoadLatestActivities'");
    if (!walk)
        return std::make_shared<const LatestActivities>();
    if (!walk->indexed) {
        walk->latest.byContact.reserve(walk->records.size());
        for (const FlaggedActivity& activity : walk->records)
            if (!walk->latest.byContact.emplace(activity.record.contactOid, &activity.record).second)
                walk->latest.ambiguous.insert(activity.record.contactOid);
        walk->indexed = true;
    }
    return std::shared_ptr<const LatestActivities>(walk, &walk->latest);
}

const ActivityRecord* LatestActivityOf(const LatestActivities& latest, CEOID contactOid, ActivityRecord* scratch)
{
    // Two flagged activities (a damaged database): the contact's own query
    // decides which is first, as it would without the index.
    if (latest.ambiguous.count(contactOid)) {
        *scratch = {};
        return ContactHasLastActivity(activityDatabase, contactOid, scratch) ? scratch : nullptr;
    }
    const auto found = latest.byContact.find(contactOid);
    return found == latest.byContact.end() ? nullptr : found->second;
}

HANDLE OpenActivitiesByContactDB()
{
    CEOID databaseOid = 0;
    int records = 0;
    HANDLE database = OpenCreateDB(&databaseOid, &records, L"ActivityDatabase", PROPID_CONTACTOID, false);
    if (!database)
        AppMessageBox(nullptr, L"Error in call to OpenCreateDB 'OpenActivitiesByContactDB'", L"Error", 0x30);
    return database;
}

int ReadContactActivitiesDB(HANDLE byContact, CEOID contactOid, const std::function<void(const ActivityRecord&)>& visit,
                            int* unread)
{
    if (!byContact || !contactOid)
        return 0;
    CEPROPVAL key = {};
    key.propid = PROPID_CONTACTOID;
    key.val.ulVal = contactOid;
    // The contact's run in the sort order: from its first record up to the
    // first record of a greater contact id, or to the end.
    DWORD end = 0, first = 0;
    if (!CeSeekDatabase(byContact, CEDB_SEEK_VALUEGREATER, reinterpret_cast<DWORD_PTR>(&key), &end)) {
        if (!CeSeekDatabase(byContact, CEDB_SEEK_END, 0, &end))
            return 0;
        ++end;
    }
    if (!CeSeekDatabase(byContact, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), &first))
        return 0;

    ActivityRecord record;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    int read = 0;
    for (DWORD position = first; position < end; ++position) {
        record = ActivityRecord();
        if (ReadNextActivityRecordDB(byContact, &record, &buffer, &size)) {
            ++read;
            visit(record);
            continue;
        }
        // A failed read leaves the handle where it was: step over the record.
        ++*unread;
        if (!CeSeekDatabase(byContact, CEDB_SEEK_BEGINNING, position + 1, nullptr))
            break;
    }
    if (buffer)
        LocalFree(buffer);
    return read;
}

ActivityScan::ActivityScan()
{
    CEOID databaseOid = 0;
    database = OpenCreateDB(&databaseOid, &count, L"ActivityDatabase", PROPID_CONTACTOID, false);
    if (!database) {
        AppMessageBox(nullptr, L"Error in call to OpenCreateDB 'ActivityScan'", L"Error", 0x30);
        return;
    }
    // That count stops at 65,535.
    CEOIDINFOEX info = {};
    info.wVersion = CEOIDINFOEX_VERSION;
    if (CeOidGetInfoEx2(&volumeGuid, databaseOid, &info))
        count = static_cast<int>(info.infDatabase.dwNumRecords);
}

ActivityScan::~ActivityScan()
{
    DeleteBatch();
    if (buffer)
        LocalFree(buffer);
    if (database)
        CloseHandle(database);
}

bool ActivityScan::StartAt(CEOID contactOid)
{
    if (!database)
        return false;
    CEPROPVAL key = {};
    key.propid = PROPID_CONTACTOID;
    key.val.ulVal = contactOid;
    return CeSeekDatabase(database, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), nullptr) != 0;
}

CEOID ActivityScan::NextKeys(ActivityRecord* record)
{
    while (database) {
        bool end = false;
        const CEOID oid = ReadNextActivityKeysDB(database, record, &buffer, &size, &end);
        if (end) {
            DeleteBatch();
            return 0;
        }
        ++passed;
        if (oid)
            return oid;
        // The failed read left the handle on the record. Relative to it,
        // since deletions behind the scan shift every position.
        if (!CeSeekDatabase(database, CEDB_SEEK_CURRENT, 1, nullptr))
            return 0;
    }
    return 0;
}

void ActivityScan::Delete(CEOID oid)
{
    doomed.push_back(oid);
    if (doomed.size() >= DELETE_BATCH)
        DeleteBatch();
}

void ActivityScan::DeleteBatch()
{
    // The records lie behind the scan, whose position stays where it is.
    for (CEOID oid : doomed) {
        // A failure is noted for the operation to report once, at its end.
        if (!database)
            SetLastError(ERROR_INVALID_HANDLE);
        if (NoteWriteResult(database ? CeDeleteRecord(database, oid) : FALSE))
            FlushVolume();
    }
    doomed.clear();
}

int ContactHasLastActivity(HANDLE database, CEOID contactOid, ActivityRecord* record)
{
    CEOID* oids = nullptr;
    int count = 0;
    getActivityOIDList(&oids, contactOid, &count, 0);
    int found = 0;
    for (int i = 0; i < count && !found; ++i) {
        if (ReadActivityRecordDB(database, oids[i], record) && record->lastFlag)
            found = 1;
    }
    std::free(oids);
    return found;
}

void DeleteContactActivities(CEOID contactOid)
{
    CEOID* oids = nullptr;
    int count = 0;
    getActivityOIDList(&oids, contactOid, &count, 0);
    for (int i = 0; i < count; ++i)
        DeleteRecordDB(activityDatabase, oids[i]);
    std::free(oids);
}

void LastFlagChooser::Offer(CEOID oid, double nextDate, BOOL lastFlag)
{
    // Among equal Next Dates the first in the list wins; with no Next Date
    // after day 0 at all the first record is the latest, so a contact with
    // activities always keeps exactly one flagged.
    if (latest == 0 || nextDate > latestNextDate) {
        latestNextDate = nextDate;
        latest = oid;
    }
    if (lastFlag)
        flagged = oid;
}

void LastFlagChooser::Apply(HANDLE database) const
{
    if (latest == 0 || latest == flagged)
        return;
    WriteActivityLastFlagDB(database, latest, TRUE);
    if (flagged)
        WriteActivityLastFlagDB(database, flagged, FALSE);
}

void UpdateLastActivityFlag(HANDLE database, CEOID contactOid)
{
    LastFlagChooser chooser;
    ActivityScan scan;
    if (scan.StartAt(contactOid)) {
        for (;;) {
            ActivityRecord record = {};
            const CEOID oid = scan.NextKeys(&record);
            if (oid == 0 || record.contactOid != contactOid)
                break;
            chooser.Offer(oid, record.nextDate, record.lastFlag);
        }
    }
    chooser.Apply(database);
}
