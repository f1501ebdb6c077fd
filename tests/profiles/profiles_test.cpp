#include "tests/sheet/sheet_fixture.h"

#include "base/app_handles.h"
#include "platform/poom/contact_records.h"
#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "store/label_lists.h"
#include "store/profiles.h"
#include "views/profile_menu.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

namespace {

class ProfilesTest : public SheetTest {
protected:
    // A profile as the page's Apply stores it.
    static void SaveProfile(const std::wstring& name, const std::vector<std::wstring>& categories)
    {
        ReplaceLabels((L"pfile-" + name).c_str(), categories);
    }

    static HMENU Menu() { return reinterpret_cast<HMENU>(SendMessageW(hMenuBar, SHCMBM_GETSUBMENU, 0, IDM_PROFILES)); }

    // The menu's items as "text" or "text*" when checked; a separator as "-".
    static std::vector<std::wstring> MenuItems()
    {
        std::vector<std::wstring> items;
        HMENU menu = Menu();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[40] = L"";
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_ID;
            info.dwTypeData = text;
            info.cch = 40;
            GetMenuItemInfoW(menu, i, TRUE, &info);
            if (info.fType & MFT_SEPARATOR) {
                items.push_back(L"-");
                continue;
            }
            std::wstring item = text;
            if (info.fState & MFS_CHECKED)
                item += L"*";
            items.push_back(std::to_wstring(info.wID) + L" " + item);
        }
        return items;
    }

    static void ChooseCategories(HWND page, const std::vector<std::wstring>& names)
    {
        HWND list = GetDlgItem(page, IDC_PROFILE_CATEGORIES);
        SendMessageW(list, LB_SETSEL, FALSE, -1);
        for (const std::wstring& name : names) {
            const LRESULT item = SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name.c_str()));
            ASSERT_NE(LB_ERR, item) << "no category " << std::string(name.begin(), name.end());
            SendMessageW(list, LB_SETSEL, TRUE, item);
        }
    }

    void AddPeople()
    {
        poom::AddCategoryNames({L"Business", L"Holiday", L"Press"});
        AddContact(L"Ames", L"", L"Business");
        AddContact(L"Berg", L"", L"holiday");   // categories compare ignoring case
        AddContact(L"Cole", L"", L"Press");
        AddContact(L"Dunn");
    }
};

} // namespace

TEST_F(ProfilesTest, ChosenProfileRestrictsTheContactsAndSurvivesARestart)
{
    AddPeople();
    ASSERT_NE(nullptr, Start());
    SaveProfile(L"Customers", {L"Business", L"Holiday"});
    SaveProfile(L"all", {L"Press"});   // not the reserved "All"
    BuildProfilesMenu(settings.activeprofilename);
    EXPECT_EQ((std::vector<std::wstring>{L"60000 All*", L"-", L"60001 Customers", L"60002 all"}), MenuItems());

    scenario->Command(IDM_PROFILE_FIRST + 1);
    EXPECT_EQ((std::vector<std::wstring>{L"Ames", L"Berg"}), ListItems(Contacts(), 0));
    EXPECT_EQ((std::vector<std::wstring>{L"60000 All", L"-", L"60001 Customers*", L"60002 all"}), MenuItems());

    EXPECT_EQ(0, scenario->Close());
    ASSERT_NE(nullptr, Start());
    EXPECT_EQ((std::vector<std::wstring>{L"Ames", L"Berg"}), ListItems(Contacts(), 0));
    EXPECT_EQ(L"60001 Customers*", MenuItems()[2]);

    scenario->Command(IDM_PROFILE_FIRST + 2);
    EXPECT_EQ((std::vector<std::wstring>{L"Cole"}), ListItems(Contacts(), 0));
    scenario->Command(IDM_PROFILE_FIRST);
    EXPECT_EQ(4, Rows(Contacts()));
    EXPECT_STREQ(L"All", settings.activeprofilename);

    // A profile without categories shows everyone; reading it made its database.
    BuildCategoryRestriction(L"Nobody");
    EXPECT_EQ(0u, wcslen(categoryRestriction));
    EXPECT_EQ(3, CountProfiles());

    // A stored name too long for a profile, or of none, means "All": no item
    // checked wrongly, no restriction, no profile made for it.
    for (const std::wstring& stored : {L"Customers" + std::wstring(31, L'x'), std::wstring(L"Gone")}) {
        EXPECT_EQ(0, scenario->Close());
        RegWriteString(L"activeprofilename", stored.c_str());
        ASSERT_NE(nullptr, Start());
        const std::vector<std::wstring> items = MenuItems();
        EXPECT_EQ(L"60000 All*", items[0]);
        EXPECT_EQ(1, std::count_if(items.begin(), items.end(), [](const std::wstring& item) {
            return item.back() == L'*';
        }));
        EXPECT_EQ(4, Rows(Contacts()));
        EXPECT_EQ(3, CountProfiles());
    }
}

TEST_F(ProfilesTest, PageAppliesAProfileAndRefusesNamesItCannotStore)
{
    AddPeople();
    ASSERT_NE(nullptr, Start());
    OnPage(PROFILES, [&](HWND, HWND page) {
        for (const wchar_t* bad : {L"  ", L"All", L"An overlong profile name26"}) {
            SetDlgItemTextW(page, IDC_PROFILE_COMBO, bad);
            Click(page, IDC_PROFILE_APPLY);
        }
        SetDlgItemTextW(page, IDC_PROFILE_COMBO, L" Customers ");
        ChooseCategories(page, {L"Business", L"Holiday"});
        Click(page, IDC_PROFILE_APPLY);
        Click(page, IDC_PROFILE_CLEAR);
        EXPECT_EQ(0, SendDlgItemMessageW(page, IDC_PROFILE_CATEGORIES, LB_GETSELCOUNT, 0, 0));
        EXPECT_EQ(0, SendDlgItemMessageW(page, IDC_PROFILE_COMBO, CB_FINDSTRINGEXACT, -1,
                                         reinterpret_cast<LPARAM>(L"Customers")));
    });
    EXPECT_TRUE(scenario->Saw(L"Must enter a profile name!"));
    EXPECT_TRUE(scenario->Saw(L"Profile name cannot be \"All\"! Please use a different name."));
    EXPECT_TRUE(scenario->Saw(L"A profile name holds at most 25 characters."));
    EXPECT_EQ(1, CountProfiles());
    EXPECT_EQ(L"60001 Customers", MenuItems()[2]);
    scenario->Command(IDM_PROFILE_FIRST + 1);
    EXPECT_EQ((std::vector<std::wstring>{L"Ames", L"Berg"}), ListItems(Contacts(), 0));

    // Opening again shows the stored categories of the first profile.
    OnPage(PROFILES, [&](HWND, HWND page) {
        EXPECT_EQ(2, SendDlgItemMessageW(page, IDC_PROFILE_CATEGORIES, LB_GETSELCOUNT, 0, 0));
    });
}

TEST_F(ProfilesTest, DeletingTheActiveProfileShowsEveryoneUnderAllAtOnce)
{
    AddPeople();
    ASSERT_NE(nullptr, Start());
    SaveProfile(L"Press", {L"Press"});
    BuildProfilesMenu(settings.activeprofilename);
    scenario->Command(IDM_PROFILE_FIRST + 1);
    ASSERT_EQ(1, Rows(Contacts()));

    OnPage(PROFILES, [&](HWND, HWND page) {
        SetDlgItemTextW(page, IDC_PROFILE_COMBO, L"press");   // another name: letter case counts
        Click(page, IDC_PROFILE_DELETE);
        EXPECT_EQ(1, CountProfiles());
        SetDlgItemTextW(page, IDC_PROFILE_COMBO, L"Press");
        Click(page, IDC_PROFILE_DELETE);
        EXPECT_EQ(0, CountProfiles());
        EXPECT_EQ((std::vector<std::wstring>{L"60000 All*", L"-"}), MenuItems());
        EXPECT_EQ(4, Rows(Contacts()));
    });
    EXPECT_TRUE(scenario->Saw(L"Do you want to delete the 'Press' profile?"));
}

TEST_F(ProfilesTest, CategoryListTakesEachRecordsLastStringAndReportsAMissingDatabase)
{
    CEOID oid = 0;
    HANDLE database = CeOpenDatabase(&oid, L"Categories Database", 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, database);
    CloseHandle(database);
    ASSERT_TRUE(CeDeleteDatabase(oid));

    scenario->AnswerDialogs([](HWND box) { Scenario::PressButton(box, IDOK); });
    CategoryName* list = nullptr;
    int count = -1;
    EXPECT_EQ(0, ReadCategoryList(&list, &count));
    EXPECT_TRUE(scenario->Saw(L"The database doesn't exist"));

    ASSERT_TRUE(poom::EnsureContactDatabases());
    const size_t boxes = scenario->Dialogs().size();
    EXPECT_EQ(0, ReadCategoryList(&list, &count)) << "no categories";
    EXPECT_EQ(boxes, scenario->Dialogs().size()) << "and nothing to report";

    oid = 0;
    database = CeOpenDatabase(&oid, L"Categories Database", 0, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, database);
    CEPROPVAL two[2] = {};
    two[0].propid = 0x4201001F;
    two[0].val.lpwstr = const_cast<LPWSTR>(L"Old name");
    two[1].propid = 0x4200001F;
    two[1].val.lpwstr = const_cast<LPWSTR>(L"A category name well over twenty-nine characters");
    ASSERT_NE(0u, CeWriteRecordProps(database, 0, 2, two));
    CEPROPVAL number = {};   // a record that names nothing
    number.propid = 0x42020003;
    ASSERT_NE(0u, CeWriteRecordProps(database, 0, 1, &number));
    CloseHandle(database);
    poom::AddCategoryNames({L"Press"});

    ASSERT_EQ(1, ReadCategoryList(&list, &count));
    EXPECT_EQ(boxes, scenario->Dialogs().size()) << "a list read whole reports nothing";
    std::vector<std::wstring> names(list, list + count);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"", L"A category name well over twe", L"Press"}), names);
    std::free(list);
}
