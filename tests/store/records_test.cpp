#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"
#include "store/volume.h"
#include "settings/settings.h"
#include "base/text.h"
#include "store/find_filter.h"
#include "tests/harness/activity_readers.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scenario.OpenStore()); }
    void TearDown() override { scenario.CloseStore(); }

    CEOID Write(const ActivityRecord& record, CEOID oid = NEW_ACTIVITY_RECORD)
    {
        return WriteActivityRecordDB(activityDatabase, oid, record);
    }

    ActivityRecord Read(CEOID oid)
    {
        ActivityRecord record = {};
        EXPECT_EQ(oid, ReadActivityRecordDB(activityDatabase, oid, &record));
        return record;
    }

    std::vector<CEOID> Flagged(CEOID contact)
    {
        std::vector<CEOID> flagged;
        for (CEOID oid : ActivityOids(contact))
            if (Read(oid).lastFlag)
                flagged.push_back(oid);
        return flagged;
    }

    Scenario scenario;
};

void ExpectSameRecord(const ActivityRecord& a, const ActivityRecord& b)
{
    EXPECT_EQ(a.contactOid, b.contactOid);
    EXPECT_STREQ(a.fileAs, b.fileAs);
    EXPECT_STREQ(a.event, b.event);
    EXPECT_STREQ(a.nextAction, b.nextAction);
    EXPECT_STREQ(a.notes, b.notes);
    EXPECT_STREQ(a.user1, b.user1);
    EXPECT_STREQ(a.user2, b.user2);
    EXPECT_STREQ(a.user3, b.user3);
    EXPECT_EQ(a.lastFlag, b.lastFlag);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.nextDate, b.nextDate);
    EXPECT_EQ(a.remindIndex, b.remindIndex);
    EXPECT_EQ(a.done, b.done);
}

} // namespace

TEST_F(StoreTest, OpenCreateDBCreatesThreeSortOrdersAndCountsZero)
{
    CEOID oid = 0;
    int count = -1;
    HANDLE handle = OpenCreateDB(&oid, &count, L"ScratchDatabase", PROPID_NEXTDATE, true);
    ASSERT_NE(nullptr, handle);
    EXPECT_NE(0u, oid);
    EXPECT_EQ(0, count);
    CloseHandle(handle);

    CEOIDINFO info = {};
    ASSERT_TRUE(CeOidGetInfoEx(&volumeGuid, oid, &info));
    ASSERT_EQ(3, info.infDatabase.wNumSortOrder);
    EXPECT_EQ(PROPID_NEXTDATE, info.infDatabase.rgSortSpecs[0].propid);
    EXPECT_EQ(static_cast<DWORD>(CEDB_SORT_DESCENDING), info.infDatabase.rgSortSpecs[0].dwFlags);
    EXPECT_EQ(PROPID_CONTACTOID, info.infDatabase.rgSortSpecs[1].propid);
    EXPECT_EQ(0u, info.infDatabase.rgSortSpecs[1].dwFlags);
    EXPECT_EQ(PROPID_LASTFLAG, info.infDatabase.rgSortSpecs[2].propid);
    EXPECT_EQ(0u, info.infDatabase.rgSortSpecs[2].dwFlags);
}

TEST_F(StoreTest, OpenCreateDBFailsQuietlyOnANameTooLong)
{
    CEOID oid = 0;
    int count = 0;
    EXPECT_EQ(nullptr, OpenCreateDB(&oid, &count, L"A database name well over the limit", PROPID_TEXT, false));
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(StoreTest, TextRecordsReadOncePerCountInSortOrder)
{
    CEOID oid = 0;
    int count = 0;
    HANDLE handle = OpenCreateDB(&oid, &count, L"Fruit", PROPID_TEXT, false);
    ASSERT_NE(nullptr, handle);
    for (const wchar_t* text : {L"pear", L"Apple", L"banana", L"Cherry"})
        ASSERT_NE(0u, WriteTextRecordDB(handle, text));
    CloseHandle(handle);
    // Case-sensitive order: capitals first.
    EXPECT_EQ((std::vector<std::wstring>{L"Apple", L"Cherry", L"banana", L"pear"}), ReadAllTexts(L"Fruit"));
    EXPECT_EQ(4, CountTextRecordsDB(L"Fruit"));

    handle = OpenCreateDB(&oid, &count, L"Fruit", PROPID_TEXT, false);
    wchar_t small[4];
    EXPECT_NE(0u, ReadTextRecordDB(handle, small, 4));
    EXPECT_STREQ(L"App", small);
    CloseHandle(handle);
}

TEST_F(StoreTest, DeleteNamedDBMatchesLetterCaseExactly)
{
    CEOID oid = 0;
    int count = 0;
    CloseHandle(OpenCreateDB(&oid, &count, L"MixedCase", PROPID_TEXT, false));
    EXPECT_EQ(0, DeleteNamedDB(L"mixedcase"));
    EXPECT_EQ(0, DeleteNamedDB(L"MixedCas"));
    EXPECT_EQ(1, DeleteNamedDB(L"MixedCase"));
    EXPECT_EQ(0, DeleteNamedDB(L"MixedCase"));
}

TEST_F(StoreTest, DeleteRecordDBReportsAMissingRecord)
{
    CEOID oid = Write(SampleActivity(5, 1));
    DeleteRecordDB(activityDatabase, oid);
    EXPECT_TRUE(scenario.Dialogs().empty());
    DeleteRecordDB(activityDatabase, oid);
    EXPECT_TRUE(scenario.Saw(L"No record found 'DeleteRecordDB'"));
}

TEST_F(StoreTest, ActivityRecordKeepsAllThirteenPropertiesAndRewritesThemAll)
{
    ActivityRecord first = SampleActivity(42, 46100.5);
    first.lastFlag = TRUE;
    first.remindIndex = 13;
    first.done = 1;
    CEOID oid = Write(first);
    ASSERT_NE(0u, oid);
    ExpectSameRecord(first, Read(oid));

    // Exactly thirteen stored properties: one write, one record.
    WORD props = 0;
    LPBYTE data = nullptr;
    DWORD size = 0;
    DWORD index = 0;
    ASSERT_NE(0u, CeSeekDatabase(activityDatabase, CEDB_SEEK_CEOID, oid, &index));
    ASSERT_EQ(oid, CeReadRecordProps(activityDatabase, CEDB_ALLOWREALLOC, &props, nullptr, &data, &size));
    EXPECT_EQ(13, props);
    LocalFree(data);

    ActivityRecord second = SampleActivity(43, 46200.75, L"Letter");
    CopyText(second.notes, L"");
    CopyText(second.user3, L"Changed");
    second.remindIndex = 0;
    second.done = 2;
    EXPECT_EQ(oid, Write(second, oid));
    ExpectSameRecord(second, Read(oid));
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(StoreTest, WritingAMissingRecordIsReported)
{
    EXPECT_EQ(0u, Write(SampleActivity(1, 1), 0x7FFF1234));
    EXPECT_TRUE(scenario.Saw(L"No record found 'WriteActivityRecordDB'"));
}

TEST_F(StoreTest, PartialRecordFromAnotherWriterKeepsTheCallersFields)
{
    CEPROPVAL values[2] = {};
    values[0].propid = PROPID_CONTACTOID;
    values[0].val.ulVal = 99;
    values[1].propid = PROPID_EVENT;
    values[1].val.lpwstr = const_cast<LPWSTR>(L"Imported");
    CEOID oid = CeWriteRecordProps(activityDatabase, 0, 2, values);
    ASSERT_NE(0u, oid);

    ActivityRecord record = SampleActivity(1, 12345.0);
    const ActivityRecord before = record;
    ASSERT_EQ(oid, ReadActivityRecordDB(activityDatabase, oid, &record));
    EXPECT_EQ(99u, record.contactOid);
    EXPECT_STREQ(L"Imported", record.event);
    EXPECT_STREQ(before.notes, record.notes);
    EXPECT_EQ(before.nextDate, record.nextDate);
    EXPECT_EQ(before.remindIndex, record.remindIndex);
    EXPECT_TRUE(scenario.Dialogs().empty());

    EXPECT_EQ(0, ReadActivityNoteFlagDB(activityDatabase, oid));
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, oid));
}

TEST_F(StoreTest, FlagReadersTellNotesAndDone)
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
    EXPECT_TRUE(scenario.Dialogs().empty());

    DeleteRecordDB(activityDatabase, done);
    EXPECT_EQ(0, ReadActivityProcessedFlagDB(activityDatabase, done));
    EXPECT_TRUE(scenario.Saw(L"No record found 'ReadActivityProcessedFlagDB'"));
}

TEST_F(StoreTest, LastFlagGoesToTheLatestNextDateAndTiesToTheFirst)
{
    UpdateLastActivityFlag(activityDatabase, 77);   // no activities: nothing to do
    EXPECT_TRUE(Flagged(77).empty());

    CEOID early = Write(SampleActivity(77, 100));
    CEOID late = Write(SampleActivity(77, 300));
    CEOID tie = Write(SampleActivity(77, 300));
    UpdateLastActivityFlag(activityDatabase, 77);
    EXPECT_EQ(std::vector<CEOID>{late}, Flagged(77));

    ActivityRecord record = Read(early);
    record.nextDate = 500;
    Write(record, early);
    UpdateLastActivityFlag(activityDatabase, 77);
    EXPECT_EQ(std::vector<CEOID>{early}, Flagged(77));
    (void)tie;
}

TEST_F(StoreTest, MovingAnActivityLeavesOneFlagOnEachContact)
{
    CEOID a1 = Write(SampleActivity(10, 400));
    CEOID a2 = Write(SampleActivity(10, 200));
    CEOID b1 = Write(SampleActivity(20, 100));
    UpdateLastActivityFlag(activityDatabase, 10);
    UpdateLastActivityFlag(activityDatabase, 20);
    ASSERT_EQ(std::vector<CEOID>{a1}, Flagged(10));

    ActivityRecord moved = Read(a1);
    moved.contactOid = 20;
    Write(moved, a1);
    UpdateLastActivityFlag(activityDatabase, 20);
    UpdateLastActivityFlag(activityDatabase, 10);
    EXPECT_EQ(std::vector<CEOID>{a2}, Flagged(10));
    EXPECT_EQ(std::vector<CEOID>{a1}, Flagged(20));
    (void)b1;
}

TEST_F(StoreTest, WithoutAnyNextDateTheFirstActivityIsFlagged)
{
    CEOID first = Write(SampleActivity(30, 0.0));
    Write(SampleActivity(30, 0.0));
    UpdateLastActivityFlag(activityDatabase, 30);
    EXPECT_EQ(std::vector<CEOID>{first}, Flagged(30));
}

TEST_F(StoreTest, ActivityListsGrowInStepsAndFilterByTheFindBar)
{
    for (int i = 0; i < 250; ++i)
        Write(SampleActivity(55, i + 1.0, i % 2 ? L"Phone Call" : L"Letter"));
    Write(SampleActivity(56, 1));

    CEOID* oids = nullptr;
    int count = 0;
    getActivityOIDList(&oids, 55, &count, 1);
    EXPECT_EQ(250, count);
    getActivityOIDList(&oids, 0, &count, 0);
    EXPECT_EQ(251, count);

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
