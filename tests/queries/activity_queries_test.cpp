// The activity queries the contact side and the views rely on.
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"
#include "base/text.h"
#include "tests/harness/activity_readers.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class QueriesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scenario.OpenStore()); }
    void TearDown() override { scenario.CloseStore(); }

    CEOID Write(CEOID contact, BOOL last, double nextDate = 46000.0)
    {
        ActivityRecord record = SampleActivity(contact, nextDate);
        record.lastFlag = last;
        return WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
    }

    static std::vector<CEOID> Latest(const std::vector<CEOID>& contacts)
    {
        CEOID* latest = static_cast<CEOID*>(std::malloc(sizeof(CEOID)));
        getLastActivityOIDList(&latest, contacts.data(), static_cast<int>(contacts.size()));
        std::vector<CEOID> result = latest ? std::vector<CEOID>(latest, latest + contacts.size())
                                           : std::vector<CEOID>();
        std::free(latest);
        return result;
    }

    Scenario scenario;
};

}  // namespace

TEST_F(QueriesTest, LatestActivityArrayHasOneEntryPerListedContact)
{
    Write(101, FALSE);
    const CEOID flagged = Write(101, TRUE);
    Write(102, FALSE);
    const CEOID third = Write(103, TRUE);
    Write(999, TRUE);  // a contact the list does not show
    EXPECT_EQ((std::vector<CEOID>{0, flagged, 0, third}), Latest({104, 101, 102, 103}));
    EXPECT_TRUE(Latest({}).empty());
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(QueriesTest, TwoFlaggedActivitiesOfOneContactGiveTheOneMetLast)
{
    const CEOID first = Write(201, TRUE);
    const CEOID second = Write(201, TRUE);
    ASSERT_NE(first, second);
    // Equal flags keep the order they were written in.
    EXPECT_EQ((std::vector<CEOID>{second}), Latest({201}));
}

// The flagged records are read once while the store stays as it is; every
// write or delete shows in the next answer.
TEST_F(QueriesTest, LatestActivitiesFollowEveryChange)
{
    const CEOID first = Write(301, TRUE);
    EXPECT_EQ((std::vector<CEOID>{first}), Latest({301}));
    EXPECT_EQ((std::vector<CEOID>{first}), Latest({301}));

    ActivityRecord record = SampleActivity(301, 46000.0);
    record.lastFlag = FALSE;
    ASSERT_EQ(first, WriteActivityRecordDB(activityDatabase, first, record));
    const CEOID second = Write(301, TRUE);
    EXPECT_EQ((std::vector<CEOID>{second}), Latest({301}));

    DeleteRecordDB(activityDatabase, second);
    EXPECT_EQ((std::vector<CEOID>{0}), Latest({301}));
}

// The index by contact answers as each contact's own query does, follows
// changes, and one still held keeps its records when the store changes.
TEST_F(QueriesTest, TheLatestActivitiesByContactAnswerAsTheContactsOwnQuery)
{
    Write(601, FALSE, 45000.0);
    Write(601, TRUE, 45100.0);
    Write(602, TRUE, 45200.0);
    Write(602, TRUE, 45300.0);   // two flagged: a damaged database
    Write(603, FALSE, 45400.0);
    const std::shared_ptr<const LatestActivities> latest = LoadLatestActivities();
    ASSERT_TRUE(latest);
    for (CEOID contact : {601u, 602u, 603u, 604u}) {
        ActivityRecord own = {};
        const int found = ContactHasLastActivity(activityDatabase, contact, &own);
        ActivityRecord scratch;
        const ActivityRecord* indexed = LatestActivityOf(*latest, contact, &scratch);
        ASSERT_EQ(found != 0, indexed != nullptr) << "contact " << contact;
        if (indexed) {
            EXPECT_EQ(own.nextDate, indexed->nextDate) << "contact " << contact;
        }
    }

    ActivityRecord scratch;
    const ActivityRecord* before = LatestActivityOf(*latest, 601, &scratch);
    ASSERT_NE(nullptr, before);
    const CEOID added = Write(603, TRUE, 45500.0);
    ASSERT_NE(0u, added);
    const std::shared_ptr<const LatestActivities> renewed = LoadLatestActivities();
    const ActivityRecord* now = LatestActivityOf(*renewed, 603, &scratch);
    ASSERT_NE(nullptr, now);
    EXPECT_EQ(45500.0, now->nextDate);
    EXPECT_EQ(45100.0, before->nextDate) << "the held index keeps its walk";
}

TEST_F(QueriesTest, ContactHasLastActivityFindsTheFlaggedOne)
{
    Write(301, FALSE, 45000.0);
    Write(301, TRUE, 45100.0);
    Write(301, FALSE, 45200.0);
    ActivityRecord record = {};
    EXPECT_EQ(1, ContactHasLastActivity(activityDatabase, 301, &record));
    EXPECT_EQ(45100.0, record.nextDate);
    EXPECT_EQ(TRUE, record.lastFlag);

    Write(302, FALSE, 47000.0);
    ActivityRecord other = {};
    EXPECT_EQ(0, ContactHasLastActivity(activityDatabase, 302, &other));
    EXPECT_EQ(47000.0, other.nextDate) << "the record holds the last activity read";
    ActivityRecord untouched = {};
    untouched.nextDate = 1.5;
    EXPECT_EQ(0, ContactHasLastActivity(activityDatabase, 303, &untouched));
    EXPECT_EQ(1.5, untouched.nextDate);
}

TEST_F(QueriesTest, DeletingAContactsActivitiesLeavesTheOthers)
{
    Write(401, TRUE);
    Write(401, FALSE);
    const CEOID kept = Write(402, TRUE);
    DeleteContactActivities(401);
    EXPECT_TRUE(ActivityOids(401).empty());
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivityOids(402));
}

TEST_F(QueriesTest, ColumnTextsOfDatesTextsAndBadIndices)
{
    ActivityRecord record = SampleActivity(501, 0.0);
    record.date = 46300.25;
    CopyText(record.notes, L"First line\r\nsecond line that goes on and on well past the column");
    wchar_t text[200];

    GetActivityColumnText(record, 1, text, 200, 0);
    EXPECT_STREQ(L"(None)", text);
    GetActivityColumnText(record, 1, text, 200, 1);
    EXPECT_STREQ(L"(None)", text) << "raw as well";
    GetActivityColumnText(record, 0, text, 200, 1);
    EXPECT_STREQ(L"46300.250000", text);
    GetActivityColumnText(record, 4, text, 200, 0);
    EXPECT_EQ(std::wstring(L"First line  second line that goes on an"), text);
    GetActivityColumnText(record, 2, text, 200, 0);
    EXPECT_STREQ(L"Phone Call", text);
    GetActivityColumnText(record, -1, text, 200, 0);
    EXPECT_STREQ(L"Unknown", text);
    GetActivityColumnText(record, 8, text, 200, 0);
    EXPECT_STREQ(L"Error", text);
}

TEST_F(QueriesTest, BulkReadGivesEachActivityOfAContactOnceInListOrder)
{
    // Interleaved contacts, the first and the last contact id of the sort
    // order among them.
    std::vector<CEOID> mine;
    for (int i = 0; i < 5; ++i) {
        Write(400, FALSE, 45000.0 + i);
        mine.push_back(Write(401, FALSE, 46000.0 - i));
        Write(499, FALSE);
    }
    const std::vector<CEOID> order = ActivityOids(401);

    HANDLE byContact = OpenActivitiesByContactDB();
    ASSERT_NE(nullptr, byContact);
    // The dates of the records read; the count returned must agree.
    auto read = [&](CEOID contact, int* unread) {
        std::vector<double> dates;
        const int count = ReadContactActivitiesDB(
            byContact, contact,
            [&](const ActivityRecord& record) {
                EXPECT_EQ(contact, record.contactOid);
                dates.push_back(record.nextDate);
            },
            unread);
        EXPECT_EQ(static_cast<size_t>(count), dates.size());
        return dates;
    };
    int unread = 0;
    const std::vector<double> dates = read(401, &unread);
    ASSERT_EQ(5u, dates.size());
    std::vector<double> expected;
    for (CEOID oid : order)
        expected.push_back(ReadActivity(oid).nextDate);
    EXPECT_EQ(expected, dates);
    EXPECT_EQ(5u, read(400, &unread).size());
    EXPECT_EQ(5u, read(499, &unread).size());
    EXPECT_TRUE(read(402, &unread).empty());
    EXPECT_EQ(0, unread);
    CloseHandle(byContact);
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(QueriesTest, ScanReadsEveryActivityOnceInListOrderWhileDeletingBehindIt)
{
    // More deletions than one batch, from interleaved contacts.
    for (int i = 0; i < 600; ++i)
        Write(600 + i % 3, FALSE, 45000.0 + i);
    const std::vector<CEOID> order = ActivityOids(0);

    std::vector<CEOID> met, kept;
    {
        ActivityScan scan;
        EXPECT_EQ(600, scan.Count());
        ActivityRecord record = {};
        for (CEOID oid; (oid = scan.NextKeys(&record)) != 0;) {
            met.push_back(oid);
            EXPECT_STREQ(L"Marsh, Ilona", record.fileAs);
            EXPECT_EQ(0, record.event[0]) << "only the keys are read";
            if (record.contactOid != 601)
                scan.Delete(oid);
            else
                kept.push_back(oid);
        }
        EXPECT_EQ(600, scan.Passed());
        EXPECT_EQ(kept, ActivityOids(0)) << "every deletion made by the end";
        EXPECT_EQ(0, scan.NextKeys(&record)) << "the end stays the end";
    }
    EXPECT_EQ(order, met);
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(QueriesTest, ScanCountsPastTheDatabaseInformationsLimit)
{
    BeginBulkChange();
    ActivityRecord record = {};
    record.contactOid = 650;
    for (int i = 0; i < 65537; ++i)
        WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
    EndBulkChange();
    ActivityScan scan;
    EXPECT_EQ(65537, scan.Count()) << "a progress range that ends before the records do";
}

TEST_F(QueriesTest, ScanStartsAtAContactsFirstActivity)
{
    Write(700, FALSE);
    const CEOID first = Write(701, FALSE, 45000.0);
    Write(701, TRUE, 45001.0);
    Write(702, FALSE);
    ActivityScan scan;
    EXPECT_FALSE(scan.StartAt(699));
    ASSERT_TRUE(scan.StartAt(701));
    ActivityRecord record = {};
    EXPECT_EQ(first, scan.NextKeys(&record));
    EXPECT_EQ(45000.0, record.nextDate);
    scan.NextKeys(&record);
    EXPECT_EQ(701u, record.contactOid);
    EXPECT_EQ(TRUE, record.lastFlag);
    scan.NextKeys(&record);
    EXPECT_EQ(702u, record.contactOid);
}

TEST_F(QueriesTest, NarrowWritesChangeOnlyTheContactAndTheMark)
{
    const CEOID oid = Write(801, TRUE, 45500.0);
    const ActivityRecord before = ReadActivity(oid);
    EXPECT_EQ(oid, WriteActivityLastFlagDB(activityDatabase, oid, FALSE));
    EXPECT_EQ(oid, WriteActivityContactDB(activityDatabase, oid, 802, TRUE));
    const ActivityRecord after = ReadActivity(oid);
    EXPECT_EQ(802u, after.contactOid);
    EXPECT_EQ(TRUE, after.lastFlag);
    EXPECT_STREQ(before.notes, after.notes);
    EXPECT_STREQ(before.fileAs, after.fileAs);
    EXPECT_EQ(before.nextDate, after.nextDate);
    EXPECT_EQ(before.remindIndex, after.remindIndex);

    // Object id 0 would otherwise make a record of the two properties alone.
    EXPECT_EQ(0u, WriteActivityContactDB(activityDatabase, 0, 802, FALSE));
    EXPECT_EQ(0u, WriteActivityLastFlagDB(activityDatabase, oid + 1000, TRUE));
    EXPECT_EQ(1u, ActivityOids(0).size());
    EXPECT_TRUE(scenario.Dialogs().empty()) << "the store leaves reporting to the caller";
}
