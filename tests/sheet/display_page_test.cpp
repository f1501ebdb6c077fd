#include "tests/sheet/sheet_fixture.h"

#include "resources/resource.h"
#include "settings/settings.h"

using DisplayPageTest = SheetTest;

TEST_F(DisplayPageTest, ANewColumnRebuildsTheListInCatalogueOrderAndResetsSorting)
{
    Setting(L"lv1sortcolumn", 2);
    Setting(L"lv2sortcolumn", 1);
    Setting(L"lv1columnorder0", 1);
    Setting(L"lv1columnorder1", 0);
    AddContact(L"Ames", L"Acme");
    ASSERT_NE(nullptr, Start());
    OnPage(DISPLAY, [&](HWND, HWND page) {
        HWND fields = GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS);
        EXPECT_EQ((std::vector<int>{0, 4}), Selected(fields));
        SendMessageW(fields, LB_SETSEL, TRUE, 3);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"FileAs", L"Title", L"Company", L"Last Date", L"Next Date"}),
              Headers(Contacts()));
    EXPECT_EQ(0, StoredValue(L"lv1sortcolumn"));
    EXPECT_EQ(0, StoredValue(L"lv2sortcolumn"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i, StoredValue((L"lv1columnorder" + std::to_wstring(i)).c_str())) << i;
    EXPECT_EQ(L"Acme", Cell(Contacts(), 0, 2));
}

// OK without changes keeps the columns and the sorting; each section shows
// its own list, which alone sets its columns: other fields in as many columns
// get their headers.
TEST_F(DisplayPageTest, SectionsShowTheirOwnListsAndOnlyAChangedListResetsSorting)
{
    Setting(L"lv1sortcolumn", 1);
    Setting(L"lv2sortcolumn", 2);
    ASSERT_NE(nullptr, Start());
    OnPage(DISPLAY, [](HWND, HWND) {});
    EXPECT_EQ(2, StoredValue(L"numcontactfield")) << "the entries are written again";
    EXPECT_EQ(-12345, StoredValue(L"piminterface")) << "an unvisited page writes nothing";
    EXPECT_EQ(1, settings.lv1sortcolumn);
    EXPECT_EQ(-12345, StoredValue(L"lv1columnorder0"));

    // Cancel stores nothing, even after a change.
    OnPage(DISPLAY, [](HWND, HWND page) {
        SendDlgItemMessageW(page, IDC_DISPLAY_LAST_FIELDS, LB_SETSEL, FALSE, -1);
    }, IDCANCEL);
    EXPECT_EQ(2, settings.numlastactivityfield);

    OnPage(DISPLAY, [&](HWND, HWND page) {
        const int contactSection[] = {IDC_DISPLAY_CONTACT_FIELDS, IDC_DISPLAY_LAST_FIELDS, IDC_DISPLAY_LAST_TITLE};
        for (int id : contactSection)
            EXPECT_TRUE(Visible(page, id)) << id;
        EXPECT_FALSE(Visible(page, IDC_DISPLAY_ACTIVITY_FIELDS));
        Choose(page, IDC_DISPLAY_SECTION, 1);
        for (int id : contactSection)
            EXPECT_FALSE(Visible(page, id)) << id;
        EXPECT_TRUE(Visible(page, IDC_DISPLAY_ACTIVITY_FIELDS));
        EXPECT_EQ(L"Activity Information", ItemText(page, IDC_DISPLAY_TITLE));
        RECT contactPlace, activityPlace;
        GetWindowRect(GetDlgItem(page, IDC_DISPLAY_CONTACT_FIELDS), &contactPlace);
        GetWindowRect(GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS), &activityPlace);
        EXPECT_EQ(contactPlace.top, activityPlace.top);
        HWND activities = GetDlgItem(page, IDC_DISPLAY_ACTIVITY_FIELDS);
        EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Selected(activities));
        SendMessageW(activities, LB_SETSEL, FALSE, 1);
        SendMessageW(activities, LB_SETSEL, TRUE, 4);
        Choose(page, IDC_DISPLAY_SECTION, 0);
        EXPECT_TRUE(Visible(page, IDC_DISPLAY_CONTACT_FIELDS));
    });
    EXPECT_EQ((std::vector<std::wstring>{L"Last Date", L"Event", L"Next Action", L"Notes"}), Headers(Activities()));
    EXPECT_EQ(0, settings.lv2sortcolumn);
    EXPECT_EQ(4, settings.numactivityfield);
    EXPECT_EQ(2, settings.numcontactfield);
    EXPECT_EQ(2, settings.numlastactivityfield);
}
