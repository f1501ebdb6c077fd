#include "store/database.h"
#include "store/label_lists.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

// A new volume's lists are seeded ascending (the mount's suite reads them);
// the activity dialog's path compares exactly: a lower-case "email" is new.
TEST_F(StoreTest, AddIfMissingComparesExactlyAndAppendAddsAsItIs)
{
    EXPECT_TRUE(ReadLabels(USER2_DATABASE).empty());
    AddLabelIfMissing(EVENTS_DATABASE, L"email");
    AddLabelIfMissing(EVENTS_DATABASE, L"Email");
    AddLabelIfMissing(EVENTS_DATABASE, L"email");
    EXPECT_EQ((std::vector<std::wstring>{L"Email", L"Letter", L"Meeting", L"On-Site Visit", L"Phone Call",
                                         L"Presentation", L"email"}),
              ReadLabels(EVENTS_DATABASE));
    AppendLabel(EVENTS_DATABASE, L"Email");
    EXPECT_EQ(8, CountTextRecordsDB(EVENTS_DATABASE));
}

TEST_F(StoreTest, ReplacingRewritesTheListDescendingAndNoLabelsLeaveAnEmptyDatabase)
{
    ReplaceLabels(NEXT_ACTION_DATABASE, {L"Fax Quote", L"Meeting", L"On-Site Visit"});
    EXPECT_EQ((std::vector<std::wstring>{L"On-Site Visit", L"Meeting", L"Fax Quote"}),
              ReadAllTexts(NEXT_ACTION_DATABASE));
    ReplaceLabels(NEXT_ACTION_DATABASE, {});
    EXPECT_EQ(0, CountTextRecordsDB(NEXT_ACTION_DATABASE));
    std::vector<std::wstring> names = DatabaseNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), NEXT_ACTION_DATABASE));
}
