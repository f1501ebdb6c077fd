// Adding and deleting labels are tried through the Descriptor page; what the
// pages cannot reach is the limit on a profile's categories.
#include "sheet/label_list_box.h"
#include "store/label_lists.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(LabelListBox, SelectedOnlySavingStoresAtMost200Items)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    HWND list = CreateWindowW(L"LISTBOX", L"", LBS_SORT | LBS_EXTENDEDSEL, 0, 0, 100, 100, scenario.MainWindow(),
                              nullptr, nullptr, nullptr);
    for (int i = 0; i < 250; ++i) {
        wchar_t text[16];
        std::swprintf(text, 16, L"Item %03d", i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, LB_SELITEMRANGEEX, 0, 249);
    saveLBTextToDatabase(list, L"pfile-Trade", 1);
    std::vector<std::wstring> stored = ReadLabels(L"pfile-Trade");
    ASSERT_EQ(200u, stored.size());
    EXPECT_EQ(L"Item 199", stored.front());   // descending order
    EXPECT_EQ(L"Item 000", stored.back());

    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, 7);
    saveLBTextToDatabase(list, L"pfile-Trade", 1);
    EXPECT_EQ(std::vector<std::wstring>{L"Item 007"}, ReadLabels(L"pfile-Trade"));
    DestroyWindow(list);
    EXPECT_EQ(0, scenario.Close());
}
