#include "store/database.h"
#include "store/label_lists.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scenario.OpenStore()); }
    void TearDown() override { scenario.CloseStore(); }

    Scenario scenario;
};

} // namespace

TEST_F(LabelTest, SeededListsReadInTheirSortOrderAndUserListsStartEmpty)
{
    // A new volume's lists are created ascending.
    EXPECT_EQ((std::vector<std::wstring>{L"Email", L"Letter", L"Meeting", L"On-Site Visit", L"Phone Call",
                                         L"Presentation"}),
              ReadLabels(EVENTS_DATABASE));
    EXPECT_TRUE(ReadLabels(USER2_DATABASE).empty());
}

TEST_F(LabelTest, AddIfMissingComparesExactlyAndAppendAddsAsItIs)
{
    // The activity dialog's path compares exactly: a lower-case "email" is new.
    AddLabelIfMissing(EVENTS_DATABASE, L"email");
    AddLabelIfMissing(EVENTS_DATABASE, L"Email");
    AddLabelIfMissing(EVENTS_DATABASE, L"email");
    std::vector<std::wstring> stored = ReadAllTexts(EVENTS_DATABASE);
    EXPECT_EQ(7u, stored.size());
    EXPECT_EQ(1, std::count(stored.begin(), stored.end(), L"email"));
    EXPECT_EQ(1, std::count(stored.begin(), stored.end(), L"Email"));
    AppendLabel(EVENTS_DATABASE, L"Email");
    EXPECT_EQ(8, CountTextRecordsDB(EVENTS_DATABASE));
}

TEST_F(LabelTest, ReplacingRewritesTheListDescendingAndNoLabelsLeaveAnEmptyDatabase)
{
    ReplaceLabels(NEXT_ACTION_DATABASE, {L"Fax Quote", L"Meeting", L"On-Site Visit"});
    EXPECT_EQ((std::vector<std::wstring>{L"On-Site Visit", L"Meeting", L"Fax Quote"}),
              ReadAllTexts(NEXT_ACTION_DATABASE));
    ReplaceLabels(NEXT_ACTION_DATABASE, {});
    EXPECT_EQ(0, CountTextRecordsDB(NEXT_ACTION_DATABASE));
    std::vector<std::wstring> names = DatabaseNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), NEXT_ACTION_DATABASE));
}
