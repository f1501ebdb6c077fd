#include "tests/views/views_fixture.h"

#include "resources/resource.h"
#include "store/activity_record.h"
#include "store/find_filter.h"
#include "store/label_lists.h"
#include "views/list_views.h"

using AboutBox = ViewsTest;

// A volume made while another activity sort field was set has no order on
// the next date, by which counting opens the database.
TEST_F(AboutBox, CountsTheDevicesContactsWhateverTheListShowsOrTheSortOrderAndLeavesTheListAlone)
{
    Setting(L"activitysortfield", PROPID_DATE);
    const CEOID anna = AddContact(L"Anna");
    const CEOID bert = AddContact(L"Bert");
    AddContact(L"Carl");
    ASSERT_NE(nullptr, Start());
    AddActivity(anna, L"Call", TodayDate());
    AddActivity(bert, L"Visit", TodayDate());
    AppendLabel(USER1_DATABASE, L"Harbour");

    // The find bar narrows the list to one contact.
    findBarVisible = 1;
    findMode = FIND_MODE_CONTACTS;
    lstrcpynW(findText, L"bert", FIND_TEXT_CAPACITY);
    FillContactsList();
    ASSERT_EQ(1, contactCount);

    std::wstring info;
    scenario->AnswerDialogs([&](HWND dialog) {
        info = ItemText(dialog, IDC_ABOUT_DB_INFO);
        Scenario::PressButton(dialog, IDOK);
    });
    scenario->Command(IDM_ABOUT);
    EXPECT_EQ(L"Database Info:\n\nContacts Entries = 3\nActivity Entries = 2\nLabel Entries = 12", info)
        << "the eleven seeded labels and one added";
    EXPECT_EQ(1, contactCount);
    EXPECT_EQ(L"Bert", Cell(Contacts(), 0, 0));
}
