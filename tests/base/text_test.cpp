#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

TEST(CopyText, CutsToCapacityAndReportsIt)
{
    wchar_t buffer[5];
    EXPECT_TRUE(CopyText(buffer, L"abcd"));
    EXPECT_STREQ(L"abcd", buffer);
    EXPECT_FALSE(CopyText(buffer, L"abcdef"));
    EXPECT_STREQ(L"abcd", buffer);
    EXPECT_TRUE(CopyText(buffer, nullptr));
    EXPECT_STREQ(L"", buffer);
}

TEST(CopyText, NeverSplitsASurrogatePair)
{
    // U+1F600 is the pair D83D DE00; it must not be cut in half at the end.
    wchar_t buffer[4];
    EXPECT_FALSE(CopyText(buffer, L"ab\xD83D\xDE00"));
    EXPECT_STREQ(L"ab", buffer);
    wchar_t wide[5];
    EXPECT_TRUE(CopyText(wide, L"ab\xD83D\xDE00"));
    EXPECT_STREQ(L"ab\xD83D\xDE00", wide);
}

TEST(CopyText, ZeroCapacityWritesNothing)
{
    wchar_t guard = L'x';
    EXPECT_FALSE(CopyText(&guard, 0, L"a"));
    EXPECT_EQ(L'x', guard);
}

TEST(TrimSpaces, RemovesOnlyBlanksAtBothEnds)
{
    wchar_t text[] = L"  Phone Call \t ";
    TrimSpaces(text);
    EXPECT_STREQ(L"Phone Call \t", text);
    wchar_t blanks[] = L"     ";
    TrimSpaces(blanks);
    EXPECT_STREQ(L"", blanks);
    wchar_t inner[] = L" a  b ";
    TrimSpaces(inner);
    EXPECT_STREQ(L"a  b", inner);
}

TEST(TrimSpaces, LeavesTextsOver999CharactersAlone)
{
    std::wstring exact(998, L'x');
    exact = L" " + exact + L" ";   // 1000 characters
    std::wstring copy = exact;
    TrimSpaces(&copy[0]);
    EXPECT_EQ(exact, copy.c_str());

    std::wstring fits = L" " + std::wstring(997, L'x') + L" ";   // 999 characters
    TrimSpaces(&fits[0]);
    EXPECT_EQ(std::wstring(997, L'x'), fits.c_str());
}
