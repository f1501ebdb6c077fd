#include "shell/text.h"

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
