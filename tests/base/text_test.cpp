#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

// U+1F600 is the pair D83D DE00: a cut never splits it.
TEST(CopyText, CutsToCapacityBetweenCharactersAndReportsIt)
{
    wchar_t buffer[5];
    EXPECT_TRUE(CopyText(buffer, L"abcd"));
    EXPECT_STREQ(L"abcd", buffer);
    EXPECT_FALSE(CopyText(buffer, L"abcdef"));
    EXPECT_STREQ(L"abcd", buffer);
    EXPECT_TRUE(CopyText(buffer, nullptr));
    EXPECT_STREQ(L"", buffer);
    EXPECT_TRUE(CopyText(buffer, L"ab\xD83D\xDE00"));
    EXPECT_STREQ(L"ab\xD83D\xDE00", buffer);
    wchar_t narrow[4];
    EXPECT_FALSE(CopyText(narrow, L"ab\xD83D\xDE00"));
    EXPECT_STREQ(L"ab", narrow);

    wchar_t guard = L'x';
    EXPECT_FALSE(CopyText(&guard, 0, L"a")) << "no capacity: nothing is written";
    EXPECT_EQ(L'x', guard);
}

// Texts over 999 characters are left alone.
TEST(TrimSpaces, RemovesOnlyBlanksAtBothEndsOfTextsUpTo999Characters)
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

    const std::wstring over = L" " + std::wstring(998, L'x') + L" ";   // 1000 characters
    std::wstring copy = over;
    TrimSpaces(&copy[0]);
    EXPECT_EQ(over, copy.c_str());
    std::wstring fits = L" " + std::wstring(997, L'x') + L" ";   // 999 characters
    TrimSpaces(&fits[0]);
    EXPECT_EQ(std::wstring(997, L'x'), fits.c_str());
}
