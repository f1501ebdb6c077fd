#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"
#include "store/volume.h"
#include "settings/settings.h"
#include "base/text.h"
#include "store/find_filter.h"
#include "store/label_lists.h"
#include "store/store_error.h"
#include "platform/cedb/core/file_system.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/harness/log_reserve.h"
#include "tests/harness/activity_readers.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <functional>

namespace {

class ActivityStore : public StoreTest {
protected:
    CEOID Write(const ActivityRecord& record, CEOID oid = NEW_ACTIVITY_RECORD)
    {
        return WriteActivityRecordDB(activityDatabase, oid, record);
    }

    std::vector<CEOID> Flagged(CEOID contact)
    {
        std::vector<CEOID> flagged;
        for (CEOID oid : ActivityOids(contact))
            if (ReadActivity(oid).lastFlag)
                flagged.push_back(oid);
        return flagged;
    }
};

// The volume on a disk that fills up once the test says so.
class FullDiskStore : public ActivityStore {
protected:
    void SetUp() override
    {
        cedb::SetServiceFileSystemForTesting(&disk);
        ActivityStore::SetUp();
    }
    void TearDown() override
    {
        disk.SetUnlimited();
        ActivityStore::TearDown();
        cedb::SetServiceFileSystemForTesting(nullptr);
    }

    cedb_test::FullDiskFileSystem disk{cedb::FileSystem::Default()};
};

} // namespace

// Made of the plain type; deleted only by the exact name. (The lists and
// queries read through each sort order a database is made with.)
TEST_F(ActivityStore, DatabasesAreOfThePlainTypeAndGoByTheirExactName)
{
    CEOID oid = 0;
    int count = -1;
    HANDLE handle = OpenCreateDB(&oid, &count, L"MixedCase", PROPID_NEXTDATE, true);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(0, count);
    CloseHandle(handle);
    CEOIDINFO info = {};
    ASSERT_TRUE(CeOidGetInfoEx(&volumeGuid, oid, &info));
    EXPECT_EQ(0u, info.infDatabase.dwDbaseType);
    EXPECT_EQ(0, DeleteNamedDB(L"mixedcase"));
    EXPECT_EQ(0, DeleteNamedDB(L"MixedCas"));
    EXPECT_EQ(1, DeleteNamedDB(L"MixedCase"));
    EXPECT_EQ(0, DeleteNamedDB(L"MixedCase"));
    // A name too long fails without a word: the caller reports.
    EXPECT_EQ(nullptr, OpenCreateDB(&oid, &count, L"A database name well over the limit", PROPID_TEXT, false));
    EXPECT_EQ(0u, oid);
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(ActivityStore, ActivityRecordKeepsAllThirteenPropertiesAndRewritesThemAll)
{
    ActivityRecord first = SampleActivity(42, 46100.5);
    first.lastFlag = TRUE;
    first.remindIndex = 13;
    first.done = 1;
    CEOID oid = Write(first);
    ASSERT_NE(0u, oid);
    EXPECT_TRUE(SameActivity(first, ReadActivity(oid)));

    // Texts that fill their fields without an end are kept cut to the field.
    ActivityRecord second = SampleActivity(43, 46200.75, L"Letter");
    ActivityRecord cut = second;
    for (wchar_t* text : {second.fileAs, second.event, second.nextAction, second.user1, second.user2, second.user3})
        std::wmemset(text, L'x', LABEL_CAPACITY);
    std::wmemset(second.notes, L'n', NOTES_CAPACITY);
    for (wchar_t* text : {cut.fileAs, cut.event, cut.nextAction, cut.user1, cut.user2, cut.user3})
        CopyText(text, LABEL_CAPACITY, std::wstring(LABEL_CAPACITY - 1, L'x').c_str());
    CopyText(cut.notes, std::wstring(NOTES_CAPACITY - 1, L'n').c_str());
    second.remindIndex = cut.remindIndex = 0;
    second.done = cut.done = 2;
    EXPECT_EQ(oid, Write(second, oid));
    EXPECT_TRUE(SameActivity(cut, ReadActivity(oid)));
    // The database itself keeps the cut texts, not what lay past each field
    // (its other readers do not cut).
    CEPROPID texts[] = {PROPID_FILEAS, PROPID_EVENT, PROPID_NEXTACTION, PROPID_NOTES,
                        PROPID_USER1,  PROPID_USER2, PROPID_USER3};
    WORD count = ARRAYSIZE(texts);
    LPBYTE stored = nullptr;
    DWORD size = 0;
    ASSERT_EQ(oid, CeSeekDatabase(activityDatabase, CEDB_SEEK_CEOID, oid, nullptr));
    ASSERT_EQ(oid, CeReadRecordProps(activityDatabase, CEDB_ALLOWREALLOC, &count, texts, &stored, &size));
    const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(stored);
    for (WORD i = 0; i < count; ++i)
        EXPECT_EQ(values[i].propid == PROPID_NOTES ? NOTES_CAPACITY - 1 : LABEL_CAPACITY - 1,
                  static_cast<int>(std::wcslen(values[i].val.lpwstr))) << std::hex << values[i].propid;
    LocalFree(stored);
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(ActivityStore, FlagReadersTellNotesAndDonePartialRecordsReadAndMissingOnesAreReported)
{
    ActivityRecord record = SampleActivity(8, 1);
    CEOID withNotes = Write(record);
    CopyText(record.notes, L"");
    record.done = 1;
    CEOID done = Write(record);
    record.done = 2;
    CEOID oddDone = Write(record);

    EXPECT_EQ(1, ReadActivityNoteFlagDB(activityDatabase, withNotes));
    EXPECT_EQ(0, ReadActivityNoteFlagDB(activityDatabase, done));
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, withNotes));
    EXPECT_EQ(1, ReadActivityProcessedFlagDB(activityDatabase, done));
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, oddDone));   // 2 is not done

    // A record another writer made of two properties: the caller's values stay in the rest.
    CEPROPVAL values[2] = {};
    values[0].propid = PROPID_CONTACTOID;
    values[0].val.ulVal = 99;
    values[1].propid = PROPID_EVENT;
    values[1].val.lpwstr = const_cast<LPWSTR>(L"Imported");
    const CEOID partial = CeWriteRecordProps(activityDatabase, 0, 2, values);
    ActivityRecord read = SampleActivity(1, 12345.0), expected = read;
    expected.contactOid = 99;
    CopyText(expected.event, L"Imported");
    ASSERT_EQ(partial, ReadActivityRecordDB(activityDatabase, partial, &read));
    EXPECT_TRUE(SameActivity(expected, read));
    EXPECT_EQ(0, ReadActivityNoteFlagDB(activityDatabase, partial));
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, partial));
    // Records of the one property asked about.
    values[0].propid = PROPID_DONE;
    values[0].val.iVal = 1;
    EXPECT_EQ(1, ReadActivityProcessedFlagDB(activityDatabase, CeWriteRecordProps(activityDatabase, 0, 1, values)));
    values[1].propid = PROPID_NOTES;
    EXPECT_EQ(1, ReadActivityNoteFlagDB(activityDatabase, CeWriteRecordProps(activityDatabase, 0, 1, values + 1)));
    EXPECT_TRUE(scenario.Dialogs().empty());

    // A record gone is reported by the call that missed it.
    DeleteRecordDB(activityDatabase, done);
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, done));
    EXPECT_TRUE(scenario.Saw(L"No record found 'ReadActivityProcessedFlagDB'"));
    DeleteRecordDB(activityDatabase, done);
    EXPECT_TRUE(scenario.Saw(L"No record found 'DeleteRecordDB'"));
    EXPECT_EQ(0u, Write(record, 0x7FFF1234));
    EXPECT_TRUE(scenario.Saw(L"No record found 'WriteActivityRecordDB'"));
}

TEST_F(ActivityStore, LastFlagGoesToTheLatestNextDateAndTiesToTheFirst)
{
    UpdateLastActivityFlag(activityDatabase, 77);   // no activities: nothing to do
    EXPECT_TRUE(Flagged(77).empty());

    CEOID early = Write(SampleActivity(77, 100));
    CEOID late = Write(SampleActivity(77, 300));
    Write(SampleActivity(77, 300));
    UpdateLastActivityFlag(activityDatabase, 77);
    EXPECT_EQ(std::vector<CEOID>{late}, Flagged(77));

    ActivityRecord record = ReadActivity(early);
    record.nextDate = 500;
    Write(record, early);
    UpdateLastActivityFlag(activityDatabase, 77);
    EXPECT_EQ(std::vector<CEOID>{early}, Flagged(77));

    // Moved to another contact: one flag on each.
    const CEOID other = Write(SampleActivity(20, 100));
    UpdateLastActivityFlag(activityDatabase, 20);
    record = ReadActivity(early);   // flagged
    record.contactOid = 20;
    Write(record, early);
    UpdateLastActivityFlag(activityDatabase, 20);
    UpdateLastActivityFlag(activityDatabase, 77);
    EXPECT_EQ(std::vector<CEOID>{late}, Flagged(77));
    EXPECT_EQ(std::vector<CEOID>{early}, Flagged(20));
    EXPECT_EQ(0, ReadActivity(other).lastFlag);

    // Without any next date the first activity is flagged.
    CEOID first = Write(SampleActivity(30, 0.0));
    Write(SampleActivity(30, 0.0));
    UpdateLastActivityFlag(activityDatabase, 30);
    EXPECT_EQ(std::vector<CEOID>{first}, Flagged(30));
}

TEST_F(ActivityStore, ActivityListsGrowInStepsAndFilterByTheFindBar)
{
    for (int i = 0; i < 250; ++i)
        Write(SampleActivity(55, i + 1.0, i % 2 ? L"Phone Call" : L"Letter"));

    CEOID* oids = nullptr;
    int count = 0;
    getActivityOIDList(&oids, 55, &count, 1);
    EXPECT_EQ(250, count);

    // "call" is found in the lower-cased Event column of the "Phone Call" half.
    findBarVisible = 1;
    findMode = FIND_MODE_ACTIVITIES;
    CopyText(findText, L"call");
    settings.lastactivityfindfield = ACTIVITY_COLUMN_EVENT;
    getActivityOIDList(&oids, 55, &count, 1);
    EXPECT_EQ(125, count);
    getActivityOIDList(&oids, 55, &count, 0);   // callers that pass 0 never filter
    EXPECT_EQ(250, count);
    CopyText(findText, L"");
    getActivityOIDList(&oids, 55, &count, 1);   // an empty find text filters nothing
    EXPECT_EQ(250, count);
    findBarVisible = 0;
    settings.lastactivityfindfield = 0;

    getActivityOIDList(&oids, 12345, &count, 0);
    EXPECT_EQ(nullptr, oids);
    EXPECT_EQ(0, count);
    std::free(oids);
}

// Each change says it failed and notes why, and a failed flush takes it back.
TEST_F(FullDiskStore, EveryChangeFailsWithTheReasonAndLeavesTheStoreAsItWas)
{
    const CEOID kept = Write(SampleActivity(5, 100));
    ASSERT_NE(0u, kept);
    const std::vector<std::wstring> labels = ReadLabels(EVENTS_DATABASE);
    ASSERT_TRUE(UseUpLogReserve(volumeGuid));
    disk.SetFreeBytes(0);

    const struct {
        const char* name;
        std::function<bool()> change;   // whether it says it worked
    } changes[] = {
        {"new activity", [&] { return Write(SampleActivity(5, 200)) != 0; }},
        {"rewritten activity", [&] { return Write(SampleActivity(6, 300), kept) != 0; }},
        {"last flag", [&] { return WriteActivityLastFlagDB(activityDatabase, kept, TRUE) != 0; }},
        {"deleted activity", [&] { return DeleteRecordDB(activityDatabase, kept); }},
        {"scan deletion", [&] {
             ActivityScan scan;
             ActivityRecord record = {};
             scan.Delete(scan.NextKeys(&record));
             scan.NextKeys(&record);   // the end: the deletion is made
             return ActivityOids(0).empty();
         }},
        {"label", [&] { return AppendLabel(EVENTS_DATABASE, L"Trade Fair"); }},
        {"label list", [&] { return ReplaceLabels(EVENTS_DATABASE, {L"Trade Fair"}); }},
        {"deleted list", [&] { return DeleteNamedDB(EVENTS_DATABASE) != 0; }},
    };
    for (const auto& row : changes) {
        StoreChanges watch;
        EXPECT_FALSE(row.change()) << row.name;
        EXPECT_TRUE(watch.Failed()) << row.name;
        EXPECT_STREQ(L"Disk Full", StoreErrorName(LastStoreFailure())) << row.name;
    }
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivityOids(0));
    EXPECT_TRUE(SameActivity(SampleActivity(5, 100), ReadActivity(kept)));
    EXPECT_EQ(labels, ReadLabels(EVENTS_DATABASE));
}
