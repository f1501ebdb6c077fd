#include "base/window_text.h"

#include <gtest/gtest.h>

#include <initializer_list>

// U+1F600 is the pair D83D DE00; the buffer holds four characters.
TEST(ReadWindowText, CutsOnlyBetweenCharacters)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    struct Case {
        const wchar_t* text;
        const wchar_t* kept;
        bool whole;
    };
    // The system's own read would keep the high half of the pair in the second.
    for (const Case& c : {Case{L"abcd", L"abcd", true}, Case{L"abc\xD83D\xDE00", L"abc", false},
                          Case{L"ab\xD83D\xDE00", L"ab\xD83D\xDE00", true},
                          Case{L"ab\xD83D\xDE00z", L"ab\xD83D\xDE00", false}}) {
        wchar_t buffer[5];
        SetWindowTextW(edit, c.text);
        EXPECT_EQ(c.whole, ReadWindowText(edit, buffer)) << c.kept;
        EXPECT_STREQ(c.kept, buffer);
    }
    DestroyWindow(edit);

    wchar_t buffer[5] = L"old";
    EXPECT_FALSE(ReadWindowText(nullptr, buffer));
    EXPECT_STREQ(L"", buffer);
}
