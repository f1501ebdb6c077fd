#include "base/app_handles.h"

#include <gtest/gtest.h>

namespace {

HWND MakeWindow(HWND parent, int id)
{
    return CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

// The children are kept once found: a destroyed one, or one of another main
// window, must never be answered.
TEST(MainWindowChildTest, AnswersTheLivingChildOfTheCurrentMainWindow)
{
    hMainWindow = nullptr;
    EXPECT_EQ(nullptr, MainWindowChild(ID_CONTACTS_LIST));

    HWND first = MakeWindow(nullptr, 0);
    ASSERT_NE(nullptr, first);
    hMainWindow = first;
    HWND list = MakeWindow(first, ID_CONTACTS_LIST);
    HWND notes = MakeWindow(first, ID_NOTES_PANE);
    EXPECT_EQ(list, MainWindowChild(ID_CONTACTS_LIST));
    EXPECT_EQ(notes, MainWindowChild(ID_NOTES_PANE));
    EXPECT_EQ(nullptr, MainWindowChild(ID_ACTIVITY_LIST));

    DestroyWindow(list);
    EXPECT_EQ(nullptr, MainWindowChild(ID_CONTACTS_LIST));
    HWND again = MakeWindow(first, ID_CONTACTS_LIST);
    EXPECT_EQ(again, MainWindowChild(ID_CONTACTS_LIST));

    // The same ids under a new main window, the old one still alive.
    HWND second = MakeWindow(nullptr, 0);
    hMainWindow = second;
    HWND secondList = MakeWindow(second, ID_CONTACTS_LIST);
    EXPECT_EQ(secondList, MainWindowChild(ID_CONTACTS_LIST));
    EXPECT_EQ(nullptr, MainWindowChild(ID_NOTES_PANE));

    // More ids than are kept at once.
    for (int id = 100; id < 120; ++id) {
        HWND child = MakeWindow(second, id);
        EXPECT_EQ(child, MainWindowChild(id));
    }
    EXPECT_EQ(secondList, MainWindowChild(ID_CONTACTS_LIST));

    hMainWindow = nullptr;
    DestroyWindow(second);
    DestroyWindow(first);
}
