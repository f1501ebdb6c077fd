#include "tests/sheet/sheet_fixture.h"
#include "tests/harness/activity_readers.h"

#include "activity/purge.h"
#include "platform/poom/contact_records.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sheet/other_page.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "views/view_resources.h"

using OtherPageTest = SheetTest;

// The page's own choices show and store 16 for the sixth item (below).
TEST(FontSizeItems, TheSixthItemMeansSixteen)
{
    EXPECT_EQ(5, FontSizeItem(15)) << "a size stored for the sixth item before it meant 16";
    EXPECT_EQ(-1, FontSizeItem(9));
    EXPECT_EQ(-1, FontSizeItem(17));
}

TEST_F(OtherPageTest, ShowsTheSettingsAndStoresThemOnlyOnOkAndTheOrphanButtonsAskThenActAndReport)
{
    const CEOID gone = AddContact(L"Gone");
    const CEOID twin = AddContact(L"Twin");
    Setting(L"fontsize", 16);
    Setting(L"popupfontsize", 10);
    Setting(L"cleartypeflag", 1);
    ASSERT_NE(nullptr, Start());
    OnPage(OTHER, [&](HWND, HWND page) {
        EXPECT_EQ(L"16", ItemText(page, IDC_OTHER_FONT_SIZE));
        EXPECT_EQ(L"12", ItemText(page, IDC_OTHER_NOTES_FONT_SIZE));
        EXPECT_EQ(L"10", ItemText(page, IDC_OTHER_POPUP_FONT_SIZE));
        EXPECT_EQ(L"Std Contact App", ItemText(page, IDC_OTHER_EDITOR));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_OTHER_CLEARTYPE));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_OTHER_PAST_DUE));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_OTHER_NOTE_ICON));
        EXPECT_EQ(L"Copy database to '" + scenario->DocumentsFolder() + L"'", ItemText(page, IDC_OTHER_BACKUP));
        Choose(page, IDC_OTHER_NOTES_FONT_SIZE, 5);
        CheckDlgButton(page, IDC_OTHER_PAST_DUE, BST_CHECKED);
    }, IDCANCEL);
    EXPECT_EQ(-12345, StoredValue(L"pastdueflag"));
    EXPECT_EQ(0, settings.pastdueflag);

    // A missing editor falls back; the choice is checked once by key on the
    // closed list and once in the open list, when it has closed.
    const wchar_t* const warning = L"Sorry, PocketInformant doesn't appear to be installed on this device";
    HFONT notesFont = hNotesFont, listFont = hListFont;
    OnPage(OTHER, [&](HWND, HWND page) {
        Choose(page, IDC_OTHER_NOTES_FONT_SIZE, 5);
        CheckDlgButton(page, IDC_OTHER_PAST_DUE, BST_CHECKED);
        CheckDlgButton(page, IDC_OTHER_BACKUP, BST_UNCHECKED);
        Choose(page, IDC_OTHER_EDITOR, 1);
        EXPECT_EQ(L"Std Contact App", ItemText(page, IDC_OTHER_EDITOR));
        EXPECT_EQ(1, Shown(warning));
        ChooseInOpenList(page, IDC_OTHER_EDITOR, 1, [&] { EXPECT_EQ(1, Shown(warning)); });
        EXPECT_EQ(L"Std Contact App", ItemText(page, IDC_OTHER_EDITOR));
    });
    EXPECT_EQ(2, Shown(warning));
    EXPECT_EQ(0, StoredValue(L"piminterface"));
    EXPECT_EQ(16, StoredValue(L"notefontsize"));
    EXPECT_EQ(1, StoredValue(L"pastdueflag"));
    EXPECT_EQ(0, StoredValue(L"backupdatabaseflag"));
    EXPECT_EQ(16, StoredValue(L"fontsize")) << "every setting of the page is written";
    EXPECT_NE(notesFont, hNotesFont) << "a new notes size takes effect at once";
    EXPECT_EQ(hNotesFont, reinterpret_cast<HFONT>(SendMessageW(Notes(), WM_GETFONT, 0, 0)));
    EXPECT_EQ(listFont, hListFont) << "the list size did not change";

    // ClearType alone renews both fonts at once.
    OnPage(OTHER, [&](HWND, HWND page) { CheckDlgButton(page, IDC_OTHER_CLEARTYPE, BST_UNCHECKED); });
    EXPECT_EQ(0, StoredValue(L"cleartypeflag"));
    EXPECT_NE(listFont, hListFont);
    EXPECT_EQ(hListFont, reinterpret_cast<HFONT>(SendMessageW(Contacts(), WM_GETFONT, 0, 0)));
    LOGFONTW shape = {};
    GetObjectW(hListFont, sizeof shape, &shape);
    EXPECT_NE(CLEARTYPE_QUALITY, shape.lfQuality);

    // The orphan buttons ask, then act and report.
    FileActivity(gone, L"Gone", 45000);
    FileActivity(twin, L"Twin", 45001);
    const CEOID lost = FileActivity(gone, L"Gone", 45002);
    ASSERT_TRUE(poom::DeleteContactRecord(gone));
    ContactsChanged();
    poom::ContactData again;
    again.text[0] = L"Gone";
    poom::SaveContactRecord(again);
    ContactsChanged();

    // No keeps everything; Yes links both orphans to the new "Gone".
    OnPage(OTHER, [&](HWND, HWND page) { Click(page, IDC_OTHER_ASSOCIATE); }, IDOK, {IDCANCEL});
    EXPECT_EQ(1, Shown(L"Do you want to link all orphaned activity records to your existing contact entries by "
                       L"doing a 'FileAs' field comparison?"));
    EXPECT_EQ(0, Shown(L"Linked 2 orphan activity records"));
    OnPage(OTHER, [&](HWND, HWND page) { Click(page, IDC_OTHER_ASSOCIATE); });
    EXPECT_EQ(1, Shown(L"Linked 2 orphan activity records"));
    EXPECT_EQ((std::vector<std::wstring>{L"Gone", L"Twin"}), ListItems(Contacts(), 0));
    EXPECT_EQ(0, LinkOrphans());

    OnPage(OTHER, [&](HWND, HWND page) { Click(page, IDC_OTHER_REMOVE); });
    EXPECT_EQ(1, Shown(L"Do you want to remove all activity records from the database that are no longer linked "
                       L"with a Contact entry?"));
    EXPECT_EQ(1, Shown(L"No orphaned activity records were found"));
    ActivityRecord record = {};
    EXPECT_NE(0u, ReadActivityRecordDB(activityDatabase, lost, &record));

    ASSERT_TRUE(poom::DeleteContactRecord(twin));
    ContactsChanged();
    OnPage(OTHER, [&](HWND, HWND page) { Click(page, IDC_OTHER_REMOVE); });
    EXPECT_EQ(1, Shown(L"Removed 1 orphan Activity Records"));
}
