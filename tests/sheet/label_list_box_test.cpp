#include "store/database.h"
#include "sheet/label_list_box.h"
#include "store/label_lists.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, scenario.Start()); }
    void TearDown() override
    {
        if (control)
            DestroyWindow(control);
        scenario.Close();
    }

    HWND MakeList()
    {
        control = CreateWindowW(L"LISTBOX", L"", LBS_SORT | LBS_EXTENDEDSEL, 0, 0, 100, 100,
                                scenario.MainWindow(), nullptr, nullptr, nullptr);
        return control;
    }

    Scenario scenario;
    HWND control = nullptr;
};

} // namespace

TEST_F(LabelTest, AddLabelIgnoresLetterCaseAndBlanks)
{
    HWND list = MakeList();
    FillLabelList(list, EVENTS_DATABASE);
    AddLabel(list, EVENTS_DATABASE, L"  email ");
    EXPECT_EQ(6u, ListItems(list).size());
    EXPECT_EQ(6, CountTextRecordsDB(EVENTS_DATABASE));

    AddLabel(list, EVENTS_DATABASE, L" Trade Show ");
    EXPECT_EQ(7u, ListItems(list).size());
    std::vector<std::wstring> stored = ReadAllTexts(EVENTS_DATABASE);
    EXPECT_NE(stored.end(), std::find(stored.begin(), stored.end(), L"Trade Show"));
}

TEST_F(LabelTest, DeletingSelectedItemsRewritesTheRestAndAllLeavesAnEmptyDatabase)
{
    HWND list = MakeList();
    FillLabelList(list, NEXT_ACTION_DATABASE);
    SendMessageW(list, LB_SETSEL, TRUE, 0);   // "Email Response"
    SendMessageW(list, LB_SETSEL, TRUE, 4);   // "Return Phone Call"
    DeleteSelectedLabels(list, NEXT_ACTION_DATABASE);
    // The rewritten database sorts descending, as every label operation creates it.
    EXPECT_EQ((std::vector<std::wstring>{L"On-Site Visit", L"Meeting", L"Fax Quote"}),
              ReadAllTexts(NEXT_ACTION_DATABASE));

    SendMessageW(list, LB_SELITEMRANGEEX, 0, 2);
    DeleteSelectedLabels(list, NEXT_ACTION_DATABASE);
    EXPECT_EQ(0, CountTextRecordsDB(NEXT_ACTION_DATABASE));
    std::vector<std::wstring> names = DatabaseNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), NEXT_ACTION_DATABASE));
}

TEST_F(LabelTest, SelectedOnlySavingStoresAtMost200Items)
{
    HWND list = MakeList();
    for (int i = 0; i < 250; ++i) {
        wchar_t text[16];
        std::swprintf(text, 16, L"Item %03d", i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, LB_SELITEMRANGEEX, 0, 249);
    saveLBTextToDatabase(list, L"pfile-Trade", 1);
    std::vector<std::wstring> stored = ReadAllTexts(L"pfile-Trade");
    ASSERT_EQ(200u, stored.size());
    EXPECT_EQ(L"Item 199", stored.front());   // descending order
    EXPECT_EQ(L"Item 000", stored.back());

    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, 7);
    saveLBTextToDatabase(list, L"pfile-Trade", 1);
    EXPECT_EQ(std::vector<std::wstring>{L"Item 007"}, ReadAllTexts(L"pfile-Trade"));
}
