#include "base/window_text.h"

#include <gtest/gtest.h>

#include <string>

// U+1F600 is the pair D83D DE00.
TEST(ReadWindowText, CutsOnlyBetweenCharacters)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    wchar_t buffer[5];
    SetWindowTextW(edit, L"abcd");
    EXPECT_TRUE(ReadWindowText(edit, buffer));
    EXPECT_STREQ(L"abcd", buffer);
    // The system's own read would keep the high half of the pair.
    SetWindowTextW(edit, L"abc\xD83D\xDE00");
    EXPECT_FALSE(ReadWindowText(edit, buffer));
    EXPECT_STREQ(L"abc", buffer);
    SetWindowTextW(edit, L"ab\xD83D\xDE00");
    EXPECT_TRUE(ReadWindowText(edit, buffer));
    EXPECT_STREQ(L"ab\xD83D\xDE00", buffer);
    SetWindowTextW(edit, L"ab\xD83D\xDE00z");
    EXPECT_FALSE(ReadWindowText(edit, buffer));
    EXPECT_STREQ(L"ab\xD83D\xDE00", buffer);
    DestroyWindow(edit);

    wcscpy(buffer, L"old");
    EXPECT_FALSE(ReadWindowText(nullptr, buffer));
    EXPECT_STREQ(L"", buffer);
}
