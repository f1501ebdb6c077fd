#include "store/database.h"
#include "store/label_lists.h"
#include "store/profiles.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const wchar_t TOO_LONG[] = L"A database name well over the limit";

std::vector<std::wstring> Categories(const wchar_t* profile)
{
    CategoryName* list = nullptr;
    const int count = ReadProfileCategories(profile, &list);
    std::vector<std::wstring> names(list, list + count);
    std::free(list);
    return names;
}

} // namespace

// A new volume's lists are seeded ascending (the mount's suite reads them);
// the activity dialog's path compares exactly: a lower-case "email" is new.
// A list made by adding to it sorts descending.
TEST_F(StoreTest, AddIfMissingComparesExactlyAndAppendAddsAsItIs)
{
    EXPECT_TRUE(ReadLabels(USER2_DATABASE).empty());
    EXPECT_TRUE(AddLabelIfMissing(EVENTS_DATABASE, L"email"));
    EXPECT_TRUE(AddLabelIfMissing(EVENTS_DATABASE, L"Email"));
    EXPECT_TRUE(AddLabelIfMissing(EVENTS_DATABASE, L"email"));
    EXPECT_EQ((std::vector<std::wstring>{L"Email", L"Letter", L"Meeting", L"On-Site Visit", L"Phone Call",
                                         L"Presentation", L"email"}),
              ReadLabels(EVENTS_DATABASE));
    EXPECT_TRUE(AppendLabel(EVENTS_DATABASE, L"Email"));
    EXPECT_EQ(8, CountTextRecordsDB(EVENTS_DATABASE));
    for (const wchar_t* label : {L"b", L"c", L"a"}) {
        EXPECT_TRUE(AppendLabel(USER1_DATABASE, label));
        EXPECT_TRUE(AppendLabel(L"New list", label));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), ReadLabels(USER1_DATABASE));
    EXPECT_EQ((std::vector<std::wstring>{L"c", L"b", L"a"}), ReadLabels(L"New list"));
    EXPECT_FALSE(AddLabelIfMissing(TOO_LONG, L"a"));
    EXPECT_FALSE(AppendLabel(TOO_LONG, L"a"));
}

TEST_F(StoreTest, ReplacingRewritesTheListDescendingAndNoLabelsLeaveAnEmptyDatabase)
{
    EXPECT_TRUE(ReplaceLabels(NEXT_ACTION_DATABASE, {L"Fax Quote", L"Meeting", L"On-Site Visit"}));
    EXPECT_EQ((std::vector<std::wstring>{L"On-Site Visit", L"Meeting", L"Fax Quote"}),
              ReadAllTexts(NEXT_ACTION_DATABASE));
    EXPECT_TRUE(ReplaceLabels(NEXT_ACTION_DATABASE, {}));
    EXPECT_EQ(0, CountTextRecordsDB(NEXT_ACTION_DATABASE));
    std::vector<std::wstring> names = DatabaseNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), NEXT_ACTION_DATABASE));
    EXPECT_TRUE(scenario.Dialogs().empty());
}

// A profile is a label list named with the prefix; reading a missing one
// makes it, descending like every list written whole.
TEST_F(StoreTest, ProfilesAreThePrefixedListsByExactName)
{
    ASSERT_TRUE(ReplaceLabels(L"pfile-Work", {L"Business", L"Press"}));
    EXPECT_EQ((std::vector<std::wstring>{L"Press", L"Business"}), Categories(L"Work"));
    EXPECT_TRUE(Categories(L"Home").empty());
    ASSERT_TRUE(AppendLabel(L"pfile-Home", L"Family"));
    ASSERT_TRUE(AppendLabel(L"pfile-Home", L"Holiday"));
    EXPECT_EQ((std::vector<std::wstring>{L"Holiday", L"Family"}), Categories(L"Home"));
    EXPECT_EQ(2, CountProfiles());
    CategoryName* list = nullptr;
    ASSERT_EQ(2, ListProfiles(&list));
    std::vector<std::wstring> names(list, list + 2);
    std::free(list);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"Home", L"Work"}), names);
    EXPECT_TRUE(IsStoredProfile(L"Work"));
    EXPECT_TRUE(IsStoredProfile(L"Home"));
    EXPECT_FALSE(IsStoredProfile(L"work"));
    BuildCategoryRestriction(L"Work");
    EXPECT_STREQ(L"[Categories] = \"Press,Business\"", categoryRestriction);
    const size_t heldBefore = HeapBytesInUse();
    for (int i = 0; i < 100; ++i)
        BuildCategoryRestriction(L"Work");
    EXPECT_LT(HeapBytesInUse(), heldBefore + 4096) << "each restriction gives its memory back";
    FreeCategoryRestriction();
}
