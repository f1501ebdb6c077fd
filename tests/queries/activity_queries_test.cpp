// The activity queries the contact side and the views rely on.
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"
#include "store/find_filter.h"
#include "store/profiles.h"
#include "store/store_error.h"
#include "base/text.h"
#include "platform/poom/contact_records.h"
#include "tests/harness/activity_readers.h"
#include "tests/harness/counting_allocator.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class QueriesTest : public StoreTest {
protected:
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
};

}  // namespace

TEST_F(QueriesTest, LatestActivityArrayHasOneEntryPerListedContact)
{
    Write(101, FALSE);
    const CEOID flagged = Write(101, TRUE);
    Write(102, FALSE);
    const CEOID third = Write(103, TRUE);
    Write(999, TRUE);  // a contact the list does not show
    // Two flagged (a damaged database): the one met last, in the order written.
    Write(105, TRUE);
    const CEOID second = Write(105, TRUE);
    const std::vector<CEOID> listed = {104, 101, 102, 103, 105};
    EXPECT_EQ((std::vector<CEOID>{0, flagged, 0, third, second}), Latest(listed));
    // Each flagged activity of a listed contact is handed over with its row.
    std::vector<std::pair<int, CEOID>> handed;
    CEOID* latest = nullptr;
    getLastActivityOIDList(&latest, listed.data(), 5,
                           [&](int row, const ActivityRecord& record) { handed.emplace_back(row, record.contactOid); });
    std::free(latest);
    std::sort(handed.begin(), handed.end());
    EXPECT_EQ((std::vector<std::pair<int, CEOID>>{{1, 101}, {3, 103}, {4, 105}, {4, 105}}), handed);
    EXPECT_TRUE(Latest({}).empty());
    CEOID* none = static_cast<CEOID*>(std::malloc(sizeof(CEOID)));
    getLastActivityOIDList(&none, &flagged, 0);
    EXPECT_EQ(nullptr, none) << "no contacts listed";
    EXPECT_TRUE(scenario.Dialogs().empty());
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
// Two flagged activities of one contact are a damaged database.
TEST_F(QueriesTest, TheLatestActivitiesByContactAnswerAsTheContactsOwnQuery)
{
    Write(601, FALSE, 45000.0);
    Write(601, TRUE, 45100.0);
    Write(602, TRUE, 45200.0);
    Write(602, TRUE, 45300.0);
    Write(603, FALSE, 45400.0);
    const std::shared_ptr<const LatestActivities> latest = LoadLatestActivities();
    ASSERT_TRUE(latest);
    // Found, and the next date in the record given: the flagged one's, else
    // the last one read, else the record untouched.
    std::vector<std::pair<int, double>> answers;
    for (CEOID contact : {601u, 602u, 603u, 604u}) {
        ActivityRecord own = {};
        own.nextDate = 1.5;
        const int found = ContactHasLastActivity(activityDatabase, contact, &own);
        answers.emplace_back(found, own.nextDate);
        ActivityRecord scratch;
        const ActivityRecord* indexed = LatestActivityOf(*latest, contact, &scratch);
        ASSERT_EQ(found != 0, indexed != nullptr) << "contact " << contact;
        if (indexed) {
            EXPECT_EQ(own.nextDate, indexed->nextDate) << "contact " << contact;
        }
    }
    EXPECT_EQ((std::vector<std::pair<int, double>>{{1, 45100.0}, {1, answers[1].second}, {0, 45400.0}, {0, 1.5}}),
              answers);

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
    EXPECT_TRUE(scenario.Dialogs().empty());
}

TEST_F(QueriesTest, ColumnTextsOfDatesTextsAndBadIndices)
{
    ActivityRecord record = SampleActivity(501, 0.0);
    record.date = 46300.25;
    CopyText(record.notes, L"First line\r\nsecond line that goes on and on well past the column");
    const struct {
        int column, raw;
        const wchar_t* text;
    } columns[] = {
        {1, 0, L"(None)"}, {1, 1, L"(None)"}, {0, 1, L"46300.250000"},
        {4, 0, L"First line  second line that goes on an"}, {2, 0, L"Phone Call"}, {5, 0, L"North"},
        {-1, 0, L"Unknown"}, {8, 0, L"Error"},
    };
    for (const auto& column : columns) {
        wchar_t text[200];
        GetActivityColumnText(record, column.column, text, 200, column.raw);
        EXPECT_STREQ(column.text, text) << column.column << " raw " << column.raw;
        GetActivityColumnText(record, column.column, nullptr, 200, column.raw);   // no buffer: nothing written
    }
}

TEST_F(QueriesTest, BulkReadGivesEachActivityOfAContactOnceInListOrder)
{
    HANDLE empty = OpenActivitiesByContactDB();
    int none = 0;
    EXPECT_EQ(0, ReadContactActivitiesDB(empty, 400, [](const ActivityRecord&) { ADD_FAILURE(); }, &none));
    CloseHandle(empty);
    // Interleaved contacts, the first and the last contact id of the sort
    // order among them.
    for (int i = 0; i < 5; ++i) {
        Write(400, FALSE, 45000.0 + i);
        Write(401, FALSE, 46000.0 - i);
        Write(499, FALSE);
    }
    HANDLE byContact = OpenActivitiesByContactDB();
    ASSERT_NE(nullptr, byContact);
    int unread = 0;
    // The next dates of the records read, which the count returned must agree with.
    auto read = [&](CEOID contact) {
        std::vector<double> dates;
        const int count = ReadContactActivitiesDB(
            byContact, contact,
            [&](const ActivityRecord& record) { dates.push_back(record.contactOid == contact ? record.nextDate : -1); },
            &unread);
        EXPECT_EQ(static_cast<size_t>(count), dates.size());
        return dates;
    };
    std::vector<double> inListOrder;
    for (CEOID oid : ActivityOids(401))
        inListOrder.push_back(ReadActivity(oid).nextDate);
    EXPECT_EQ(5u, inListOrder.size());
    EXPECT_EQ(inListOrder, read(401));
    EXPECT_EQ(std::vector<double>(5, 46000.0), read(499));
    EXPECT_EQ(5u, read(400).size());
    const size_t heldBefore = HeapBytesInUse();
    for (int i = 0; i < 40; ++i)
        read(401);
    EXPECT_LT(HeapBytesInUse(), heldBefore + 4096) << "each read gives its memory back";
    EXPECT_TRUE(read(402).empty());
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

// Lists whose storage cannot grow: what fits is kept, nothing is written
// past it, and no block is lost.
TEST_F(QueriesTest, ListsThatCannotGrowKeepWhatFitsAndLoseNoBlock)
{
    BeginBulkChange();
    for (int i = 0; i < 150; ++i)
        FileActivity(700, L"Many", 46000.0 + i);
    EndBulkChange();
    CEOID* oids = nullptr;
    int count = 0;
    RefuseAllocations(2u);   // the first hundred fit, growing fails once: the list ends there, without holes
    getActivityOIDList(&oids, 0, &count, 0);
    RefuseAllocations(0);
    EXPECT_EQ(100, count);
    RefuseAllocations(1u);   // not even the first hundred
    getActivityOIDList(&oids, 0, &count, 0);
    RefuseAllocations(0);
    EXPECT_EQ(0, count);
    std::free(oids);

    ASSERT_TRUE(poom::EnsureContactDatabases());
    ASSERT_TRUE(poom::AddCategoryNames({L"Press"}));
    CategoryName* list = nullptr;
    count = -1;
    RefuseAllocations(~0u);
    ReadCategoryList(&list, &count);
    RefuseAllocations(0);
    EXPECT_EQ(0, count);
    EXPECT_EQ(nullptr, list);

    const CategoryName press = L"Press";
    wchar_t* restriction = nullptr;
    FormatCategoryRestriction(&press, 1, &restriction);
    ASSERT_NE(nullptr, restriction);
    const long blocks = liveBlocks;
    RefuseAllocations(~0u);
    FormatCategoryRestriction(&press, 1, &restriction);
    RefuseAllocations(0);
    EXPECT_EQ(nullptr, restriction) << "without room no restriction passes for one";
    EXPECT_EQ(blocks - 1, liveBlocks) << "the earlier text is freed";
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
    const size_t heldBefore = HeapBytesInUse();
    for (int i = 0; i < 100; ++i) {
        ActivityScan again;
        again.NextKeys(&record);
    }
    EXPECT_LT(HeapBytesInUse(), heldBefore + 4096) << "each scan gives its memory back";
}

TEST_F(QueriesTest, NarrowWritesChangeOnlyTheContactAndTheMarkAndDeletesOnlyTheContacts)
{
    const CEOID oid = Write(801, TRUE, 45500.0);
    const ActivityRecord before = ReadActivity(oid);
    EXPECT_EQ(oid, WriteActivityLastFlagDB(activityDatabase, oid, FALSE));
    EXPECT_EQ(oid, WriteActivityContactDB(activityDatabase, oid, 802, TRUE));
    ActivityRecord expected = before;
    expected.contactOid = 802;
    EXPECT_TRUE(SameActivity(expected, ReadActivity(oid)));

    // Object id 0 would otherwise make a record of the two properties alone.
    EXPECT_EQ(0u, WriteActivityContactDB(activityDatabase, 0, 802, FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), LastStoreFailure());
    EXPECT_EQ(0u, WriteActivityLastFlagDB(activityDatabase, oid + 1000, TRUE));
    EXPECT_EQ(1u, ActivityOids(0).size());
    EXPECT_TRUE(scenario.Dialogs().empty()) << "the store leaves reporting to the caller";

    // Deleting a contact's activities leaves the others, whatever the find bar holds.
    const CEOID kept = Write(803, TRUE);
    Write(802, FALSE);
    findBarVisible = 1;
    findMode = FIND_MODE_ACTIVITIES;
    CopyText(findText, L"no such text");
    DeleteContactActivities(802);
    ResetFindState();
    EXPECT_STREQ(L"", findText);
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivityOids(0));
}
