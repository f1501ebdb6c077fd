#include "contacts/vcard/text_encoding.h"

#include <gtest/gtest.h>

using namespace vcard;

TEST(TextEncoding, Windows1252HighRangeAndUnassignedBytes)
{
    EXPECT_EQ("\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC3\xA9", Cp1252ToUtf8("\x80 \x93q\x94 \xE9"));
    EXPECT_EQ("\xEF\xBF\xBD", Cp1252ToUtf8("\x81"));
}

TEST(TextEncoding, Utf8Validation)
{
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xF0\x9F\x8C\xB8"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));           // Windows-1252 text
}

TEST(TextEncoding, WideConversionsKeepCharactersOutsideTheBasicPlane)
{
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\xB8";
    const std::wstring wide = Utf8ToWide(text);
    EXPECT_EQ(sizeof(wchar_t) == 2 ? 5u : 4u, wide.size());
    EXPECT_EQ(text, WideToUtf8(wide));
    EXPECT_EQ(L"\xFFFD" L"b", Utf8ToWide("\xFF" "b"));
}

TEST(TextEncoding, PrefixLengthStopsBeforeACutCharacter)
{
    const std::string text = "ab\xE2\x82\xAC";
    EXPECT_EQ(2u, Utf8PrefixLength(text, 3));
    EXPECT_EQ(2u, Utf8PrefixLength(text, 4));
    EXPECT_EQ(5u, Utf8PrefixLength(text, 5));
    EXPECT_EQ(5u, Utf8PrefixLength(text, 99));
}
