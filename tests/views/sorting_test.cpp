#include "views/sorting.h"

#include <gtest/gtest.h>

namespace {

int Compare(const wchar_t* a, const wchar_t* b, int direction)
{
    SortKey x, y;
    MakeSortKey(a, &x);
    MakeSortKey(b, &y);
    return CompareSortKeys(x, y, direction);
}

}  // namespace

// Texts sort without case; two numbers by value, the largest first with
// direction one. The lists' header taps sort and turn records round.
TEST(CompareSortKeys, TextsIgnoreCaseNumbersCompareByValue)
{
    EXPECT_LT(Compare(L"apple", L"Banana", 1), 0);
    EXPECT_GT(Compare(L"apple", L"Banana", 0), 0);
    EXPECT_EQ(0, Compare(L"APPLE", L"apple", 1));

    // Numbers of one length: as texts they would sort the other way round.
    EXPECT_LT(Compare(L"13", L"12", 1), 0);
    EXPECT_GT(Compare(L"13", L"12", 0), 0);
    EXPECT_EQ(0, Compare(L" 12 ", L"12", 1)) << "blanks around a number do not matter";
    // One side is not a number: the comparison is of texts, and "1" < "x".
    EXPECT_LT(Compare(L"10", L"x9", 1), 0);
    EXPECT_LT(Compare(L"(None)", L"45000.000000", 1), 0) << "compared as text, and '(' is below digits";
    EXPECT_LT(Compare(L"-", L"5", 1), 0) << "a lone minus is not a number";
}
