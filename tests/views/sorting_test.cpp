#include "tests/views/views_fixture.h"

#include "store/activity_database.h"
#include "views/sorting.h"

#include <string>
#include <vector>

namespace {

int Compare(const wchar_t* a, const wchar_t* b, int direction)
{
    SortKey x, y;
    MakeSortKey(a, &x);
    MakeSortKey(b, &y);
    return CompareSortKeys(x, y, direction);
}

}  // namespace

// The lists' own texts sort the same with or without case.
TEST(CompareSortKeys, TextIgnoresCaseAndDirectionTurnsItRound)
{
    EXPECT_LT(Compare(L"apple", L"Banana", 1), 0);
    EXPECT_LT(Compare(L"Banana", L"cherry", 1), 0);
    EXPECT_GT(Compare(L"apple", L"Banana", 0), 0);
    EXPECT_EQ(0, Compare(L"APPLE", L"apple", 1));
}

TEST(CompareSortKeys, NumbersPutTheLargestFirstWithDirectionOne)
{
    EXPECT_LT(Compare(L"10", L"9", 1), 0);
    EXPECT_GT(Compare(L"10", L"9", 0), 0);
    EXPECT_EQ(0, Compare(L" 12 ", L"12", 1)) << "blanks around a number do not matter";
    EXPECT_LT(Compare(L" 12 ", L"9", 1), 0);
    // One side is not a number: the comparison is of texts, and "1" < "x".
    EXPECT_LT(Compare(L"10", L"x9", 1), 0);
    EXPECT_GT(Compare(L"10", L"x9", 0), 0);
    EXPECT_LT(Compare(L"(None)", L"45000.000000", 1), 0) << "compared as text, and '(' is below digits";
    EXPECT_LT(Compare(L"-", L"5", 1), 0) << "a lone minus is not a number";
}

// A header tapped twice turns the list round; the lists' tests have odd counts.
TEST(ReverseOIDList, SwapsFromBothEnds)
{
    CEOID odd[] = {1, 2, 3, 4, 5};
    ReverseOIDList(odd, 5);
    EXPECT_EQ((std::vector<CEOID>{5, 4, 3, 2, 1}), std::vector<CEOID>(odd, odd + 5));
    CEOID even[] = {1, 2, 3, 4, 5};
    ReverseOIDList(even, 4);
    EXPECT_EQ((std::vector<CEOID>{4, 3, 2, 1, 5}), std::vector<CEOID>(even, even + 5));
}

using SortingTest = ViewsTest;

TEST_F(SortingTest, SortsRecordsByKeysCarryingTheParallelArray)
{
    ASSERT_NE(nullptr, Start());
    const CEOID contact = AddContact(L"Sorter");
    const CEOID nine = AddActivity(contact, L"9", 0);
    const CEOID three = AddActivity(contact, L"3", 0);
    const CEOID four = AddActivity(contact, L"4", 0);
    CEOID keys[] = {nine, three, four};
    CEOID parallel[] = {109, 103, 104};
    SortOIDList(keys, parallel, 3, 2, 0);
    EXPECT_EQ((std::vector<CEOID>{three, four, nine}), std::vector<CEOID>(keys, keys + 3));
    EXPECT_EQ((std::vector<CEOID>{103, 104, 109}), std::vector<CEOID>(parallel, parallel + 3));

    SortOIDList(keys, parallel, 3, 2, 1);
    EXPECT_EQ((std::vector<CEOID>{nine, four, three}), std::vector<CEOID>(keys, keys + 3));
    EXPECT_EQ((std::vector<CEOID>{109, 104, 103}), std::vector<CEOID>(parallel, parallel + 3));
}
