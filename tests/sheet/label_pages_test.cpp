#include "tests/sheet/sheet_fixture.h"

#include "base/input_panel.h"
#include "resources/resource.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "sheet/label_list_box.h"
#include "sheet/labels_page.h"
#include "store/label_lists.h"

#include <commctrl.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>

namespace {

class LabelPagesTest : public SheetTest {
protected:
    static void SelectLabel(HWND page, int field)
    {
        SendDlgItemMessageW(page, IDC_LABELS_LIST, LB_SETCURSEL, field, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_LABELS_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_LABELS_LIST)));
    }

    static std::wstring StoredLabel(const wchar_t* name)
    {
        wchar_t text[SETTINGS_STRING_CHARS] = L"";
        RegReadString(name, text);
        return text;
    }
};

} // namespace

// Typing on either page raises the input panel and leaving the page lowers
// it; where the pages' controls go with the panel up is the sheet's fitting
// test.
TEST_F(LabelPagesTest, DescriptorListsLabelsStoresAtMost200AndLabelsPageRenamesAndResets)
{
    Setting(L"numlastactivityfield", 2);
    ASSERT_NE(nullptr, Start());
    ReplaceLabels(NEXT_ACTION_DATABASE, {L"Call", L"Mail", L"Meet", L"Visit", L"Wait"});
    std::vector<std::wstring> events;
    OnPage(DESCRIPTOR, [&](HWND sheet, HWND page) {
        SetFocus(GetDlgItem(page, IDC_DESCRIPTOR_EDIT));
        EXPECT_EQ(1, IsInputPanelShown());
        TurnTo(sheet, OTHER);
        EXPECT_EQ(0, IsInputPanelShown());
        TurnTo(sheet, DESCRIPTOR);
        HWND labels = GetDlgItem(page, IDC_DESCRIPTOR_LABELS);
        EXPECT_FALSE(ListItems(labels).empty());
        EXPECT_THAT(ListItems(labels), ::testing::UnorderedElementsAreArray(ReadLabels(EVENTS_DATABASE)));
        // The edit's 40th unit is cut; a pair across the cut goes whole.
        for (const std::wstring& text : {std::wstring(L"  Golf "), std::wstring(L"golf"), std::wstring(L"   "),
                                         std::wstring(38, L'x') + L"\xD83D\xDE00"}) {
            SetDlgItemTextW(page, IDC_DESCRIPTOR_EDIT, text.c_str());
            Click(page, IDC_DESCRIPTOR_ADD);
        }
        events = ReadLabels(EVENTS_DATABASE);
        EXPECT_EQ(1, std::count(events.begin(), events.end(), L"Golf"));
        EXPECT_EQ(0, std::count(events.begin(), events.end(), L"golf"));
        EXPECT_EQ(0, std::count(events.begin(), events.end(), L""));
        EXPECT_EQ(1, std::count(events.begin(), events.end(), std::wstring(38, L'x')));

        // Keys and the wheel change the list without a close-up; each
        // change shows the chosen list, which Add and Delete then act on.
        Choose(page, IDC_DESCRIPTOR_LIST_CHOICE, 2);
        EXPECT_TRUE(ListItems(labels).empty()) << "User Field 1 has no labels yet";
        SendDlgItemMessageW(page, IDC_DESCRIPTOR_LIST_CHOICE, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        EXPECT_EQ((std::vector<std::wstring>{L"Call", L"Mail", L"Meet", L"Visit", L"Wait"}), ListItems(labels));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DESCRIPTOR_DELETE)));
        Select(labels, {1, 3});
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_DESCRIPTOR_LABELS, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(labels));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DESCRIPTOR_DELETE)));
        Click(page, IDC_DESCRIPTOR_DELETE);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DESCRIPTOR_DELETE)));
        CheckDlgButton(page, IDC_DESCRIPTOR_ADD_NEW, BST_UNCHECKED);
    }, IDCANCEL);
    EXPECT_THAT(ReadLabels(NEXT_ACTION_DATABASE), ::testing::UnorderedElementsAre(L"Call", L"Meet", L"Wait"))
        << "the list tools act at once, whatever the sheet's end";
    EXPECT_EQ(events, ReadLabels(EVENTS_DATABASE)) << "the list shown before is left alone";
    EXPECT_EQ(1, settings.addlabelsflag);
    EXPECT_EQ(-12345, StoredValue(L"addlabelsflag"));

    OnPage(DESCRIPTOR, [&](HWND, HWND page) { CheckDlgButton(page, IDC_DESCRIPTOR_ADD_NEW, BST_UNCHECKED); });
    EXPECT_EQ(0, settings.addlabelsflag);
    EXPECT_EQ(0, StoredValue(L"addlabelsflag"));

    // What the pages cannot reach: the limit on a profile's categories.
    HWND list = CreateWindowW(L"LISTBOX", L"", LBS_SORT | LBS_EXTENDEDSEL, 0, 0, 100, 100, scenario->MainWindow(),
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

    Select(list, {7});
    saveLBTextToDatabase(list, L"pfile-Trade", 1);
    EXPECT_EQ(std::vector<std::wstring>{L"Item 007"}, ReadLabels(L"pfile-Trade"));
    DestroyWindow(list);

    // Rename cuts the label and retitles every column and the Display page.
    OnPage(LABELS, [&](HWND sheet, HWND page) {
        HWND list = GetDlgItem(page, IDC_LABELS_LIST);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LABELS_RENAME)));
        SelectLabel(page, 4);
        EXPECT_EQ(L"Company", ItemText(page, IDC_LABELS_EDIT));
        SetDlgItemTextW(page, IDC_LABELS_EDIT, L"Organisation and its long name, forty ch");
        Click(page, IDC_LABELS_RENAME);
        EXPECT_EQ(L"Organisation and its long nam", ListItems(list)[4]);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LABELS_RENAME)));
        HWND display = PropSheet_IndexToHwnd(sheet, DISPLAY);
        EXPECT_EQ(L"Organisation and its long nam", ListItems(GetDlgItem(display, IDC_DISPLAY_CONTACT_FIELDS))[4]);

        // Blanks are refused; the label stays.
        SelectLabel(page, 22);
        SetDlgItemTextW(page, IDC_LABELS_EDIT, L"   ");
        Click(page, IDC_LABELS_RENAME);
        EXPECT_EQ(L"Next Date", ListItems(list)[22]);
        SetDlgItemTextW(page, IDC_LABELS_EDIT, L"Follow-up");
        Click(page, IDC_LABELS_RENAME);
        SetFocus(GetDlgItem(page, IDC_LABELS_EDIT));
        EXPECT_EQ(1, IsInputPanelShown());
    }, IDCANCEL);
    EXPECT_EQ(1, Shown(EMPTY_LABEL_REFUSED));
    EXPECT_EQ(L"Organisation and its long nam", StoredLabel(L"contactfieldlabel4")) << "stored despite Cancel";
    EXPECT_EQ(L"Organisation and its long nam", Headers(Contacts()).at(1));
    EXPECT_EQ(L"Follow-up", StoredLabel(L"activityfieldlabel1"));
    EXPECT_EQ(L"Follow-up", Headers(Contacts()).at(3)) << "the last activity's column too";
    EXPECT_EQ(L"Follow-up", Headers(Activities()).at(3));

    // Reset asks; No keeps the labels, Yes restores every default.
    const std::wstring question =
        L"Do you want to reset all the existing contact and activity field labels to their original default values?";
    OnPage(LABELS, [&](HWND, HWND page) {
        SelectLabel(page, 4);
        Click(page, IDC_LABELS_RESET);
        EXPECT_EQ(L"Organisation and its long nam", ListItems(GetDlgItem(page, IDC_LABELS_LIST))[4]);
        EXPECT_EQ(L"", ItemText(page, IDC_LABELS_EDIT)) << "No still empties the edit";
        Click(page, IDC_LABELS_RESET);
        EXPECT_EQ(L"Company", ListItems(GetDlgItem(page, IDC_LABELS_LIST))[4]);
    }, IDOK, {IDCANCEL, IDOK});
    EXPECT_EQ(2, Shown(question));
    EXPECT_EQ(L"Company", StoredLabel(L"contactfieldlabel4"));
    EXPECT_EQ(L"Next Date", StoredLabel(L"activityfieldlabel1"));
    EXPECT_EQ(L"User Field 3", StoredLabel(L"activityfieldlabel7"));
    EXPECT_EQ(L"Company", Headers(Contacts()).at(1));
}

