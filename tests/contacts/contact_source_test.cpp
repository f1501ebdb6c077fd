#include "tests/contacts/contacts_fixture.h"

#include <cstdlib>

#include "contacts/contact_source.h"
#include "views/contact_name_controls.h"
#include "platform/poom/poom_server.h"
#include "platform/shell/device_screen.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "base/text.h"
#include "store/find_filter.h"
#include "store/profiles.h"

namespace {

using Texts = std::vector<std::wstring>;

// What ListContactOids lists, its array freed.
std::vector<CEOID> Listed(int findFlag = 1, int sortMode = SORT_BY_NAME, int restrictFlag = 1)
{
    CEOID* oids = nullptr;
    int count = 0;
    ListContactOids(&oids, &count, findFlag, sortMode, restrictFlag);
    const std::vector<CEOID> listed = oids ? std::vector<CEOID>(oids, oids + count) : std::vector<CEOID>();
    std::free(oids);
    return listed;
}

struct Controls {
    HWND combo = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 0, 100, 200, hMainWindow, nullptr, nullptr,
                               nullptr);
    HWND list = CreateWindowW(L"LISTBOX", L"", 0, 0, 0, 100, 200, hMainWindow, nullptr, nullptr, nullptr);
};

}  // namespace

// --- Listing -----------------------------------------------------------------------

TEST_F(ContactsTest, EmptyFolderOrNoConnectionGivesNullArraysAndEmptyControls)
{
    CEOID* oids = static_cast<CEOID*>(std::malloc(8 * sizeof(CEOID)));
    int count = -1;
    ListContactOids(&oids, &count, 1, SORT_BY_NAME, 1);
    EXPECT_EQ(nullptr, oids);
    EXPECT_EQ(0, count);

    Controls controls;
    SendMessageW(controls.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"stale"));
    CEOID* names = static_cast<CEOID*>(std::malloc(sizeof(CEOID)));
    FillContactCombo(controls.combo, &names);
    EXPECT_EQ(nullptr, names);
    EXPECT_TRUE(ListItems(controls.combo).empty()) << "the stale item is gone";

    // Without a connection nothing is listed or opened.
    const CEOID oid = Add(L"Unreachable");
    CloseOutlookConnection();
    count = 7;
    ListContactOids(&oids, &count, 1, SORT_BY_NAME, 1);
    EXPECT_EQ(nullptr, oids);
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, CountContacts());
    FillContactCombo(controls.combo, &oids);
    EXPECT_TRUE(ListItems(controls.combo).empty());
    EXPECT_EQ(0, ContactExists(oid));
    EXPECT_EQ(0, OpenContactEditor(oid));
    EXPECT_EQ(0, OpenContactEditor(0));
    EXPECT_EQ(0, DeleteContact(oid));
    EXPECT_TRUE(Stored(oid));
    EXPECT_EQ(0u, Boxes());
}

TEST_F(ContactsTest, NamelessContactsAreListedButNotOfferedByName)
{
    const CEOID bell = Add(L"Bell, Ada");
    const CEOID nameless = Add(L"");
    const std::wstring longName = L"Featherstonehaugh-Cholmondeley, Bartholomew X";  // 45 characters
    const CEOID lengthy = Add(longName);
    EXPECT_EQ((std::vector<CEOID>{nameless, bell, lengthy}), Listed());
    EXPECT_EQ(3, CountContacts());

    Controls controls;
    CEOID* named = nullptr;
    FillContactCombo(controls.combo, &named);
    EXPECT_EQ((Texts{L"Bell, Ada", longName.substr(0, 39)}), ListItems(controls.combo));
    ASSERT_NE(nullptr, named);
    EXPECT_EQ((std::vector<CEOID>{bell, lengthy}), std::vector<CEOID>(named, named + 2));
    FillContactListBox(controls.list, 0, &named);
    EXPECT_EQ((Texts{L"Bell, Ada", longName.substr(0, 39)}), ListItems(controls.list));
    std::free(named);
}

TEST_F(ContactsTest, ListFollowsTheSortColumnAndDirection)
{
    const CEOID a = Add(L"Aalto", L"Zephyr Works");
    const CEOID b = Add(L"Brook", L"Anchor Mills");
    const CEOID c = Add(L"Cole", L"Mast & Sail");
    settings.lv1sortcolumn = 1;  // the Company column
    EXPECT_EQ((std::vector<CEOID>{b, c, a}), Listed(1, SORT_BY_LIST_COLUMN));
    settings.lv1sortdirection = 0;
    EXPECT_EQ((std::vector<CEOID>{a, c, b}), Listed(1, SORT_BY_LIST_COLUMN));
    EXPECT_EQ((std::vector<CEOID>{a, b, c}), Listed(0)) << "by name ignores the list's column";
    settings.lv1sortcolumn = 2;  // a last-activity column has no contact property
    EXPECT_EQ((std::vector<CEOID>{a, b, c}), Listed(1, SORT_BY_LIST_COLUMN));
}

TEST_F(ContactsTest, ProfileRestrictionsNeverShowTheWrongContacts)
{
    const CEOID customer = Add(L"Customer", L"", L"customers");
    const CEOID both = Add(L"Both", L"", L"Press, Customers");
    const CEOID press = Add(L"Press", L"", L"Press");
    const CEOID quoted = Add(L"Quoted", L"", L"Say \"Hi\"");
    Add(L"A only", L"", L"A");
    Add(L"B only", L"", L"B");
    auto listFor = [&](std::vector<const wchar_t*> names) {
        std::vector<CategoryName> categories(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            CopyText(categories[i], names[i]);
        FormatCategoryRestriction(categories.data(), static_cast<int>(names.size()), &categoryRestriction);
        return Listed();
    };
    EXPECT_EQ((std::vector<CEOID>{both, customer}), listFor({L"Customers"})) << "categories compare ignoring case";
    EXPECT_EQ(std::vector<CEOID>{quoted}, listFor({L"Say \"Hi\""}));
    EXPECT_TRUE(listFor({L"A,B"}).empty()) << "a name no contact can carry matches nobody, not A or B";
    EXPECT_EQ(6u, listFor({}).size());
    EXPECT_STREQ(L"", categoryRestriction);

    EXPECT_EQ((std::vector<CEOID>{both, customer, press}), listFor({L"Customers", L"Press"}));
    EXPECT_EQ(6u, Listed(1, SORT_BY_NAME, 0).size()) << "restrict flag 0";
    Controls controls;
    CEOID* oids = nullptr;
    FillContactCombo(controls.combo, &oids);
    EXPECT_EQ((Texts{L"Both", L"Customer", L"Press"}), ListItems(controls.combo)) << "combos always restrict";
    FillContactListBox(controls.list, 0, &oids);
    EXPECT_EQ(6u, ListItems(controls.list).size()) << "the export list restricts only when filtering";
    FillContactListBox(controls.list, 1, &oids);
    EXPECT_EQ(3u, ListItems(controls.list).size());
    std::free(oids);
    FreeCategoryRestriction();
}

TEST_F(ContactsTest, FindFilterOnTheCompanyField)
{
    const CEOID harbour = Add(L"Lind", L"Harbour Lights Ltd");
    const CEOID upper = Add(L"Moss", L"NORTH HARBOUR");
    Add(L"Quinn", L"Hillside Farm");
    findBarVisible = 1;
    CopyText(findText, L"harbour");
    settings.lastcontactfindfield = 4;

    EXPECT_EQ((std::vector<CEOID>{harbour, upper}), Listed());

    Controls controls;
    CEOID* oids = nullptr;
    FillContactListBox(controls.list, 1, &oids);
    EXPECT_EQ((Texts{L"Lind", L"Moss"}), ListItems(controls.list));
    FillContactListBox(controls.list, 0, &oids);
    EXPECT_EQ(3u, ListItems(controls.list).size()) << "\"Use filtering\" cleared lists every named contact";
    FillContactCombo(controls.combo, &oids);
    EXPECT_EQ(3u, ListItems(controls.combo).size()) << "the activity dialog never filters by the find bar";

    findMode = FIND_MODE_ACTIVITIES;
    EXPECT_EQ(3u, Listed().size()) << "an activity search leaves the contacts alone";
    findMode = FIND_MODE_CONTACTS;
    findBarVisible = 0;
    EXPECT_EQ(3u, Listed().size()) << "a hidden find bar filters nothing";
    std::free(oids);
}

// --- The contact card ----------------------------------------------------------------------

namespace {

struct CardPlay {
    int attempts = 0;
    bool summaryShown = false;
    const wchar_t* typeLastName = nullptr;
    bool done = false;
    RECT placed = {};
} play;

// Waits for the card's summary view (timer 1 has then run), types what the
// test asks for and closes the card.
void CALLBACK PlayCard(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND card = FindWindowW(POOM_CARD_CLASS, POOM_CARD_TITLE);
    if (!card || play.done)
        return;
    // Gives the switch five seconds; a card that never shows its summary is
    // closed anyway and fails the test.
    play.summaryShown = IsWindowVisible(GetDlgItem(card, POOM_CARD_SUMMARY_VIEW_ID)) != FALSE;
    GetWindowRect(card, &play.placed);
    if (!play.summaryShown && ++play.attempts < 100)
        return;
    if (play.typeLastName) {
        HWND page = FindWindowExW(card, nullptr, L"DialogPage", nullptr);
        SetDlgItemTextW(page, POOM_CARD_FIRST_FIELD_ID + 2, play.typeLastName);
    }
    play.done = true;
    KillTimer(nullptr, timer);
    PostMessageW(card, WM_CLOSE, 0, 0);
}

}  // namespace

// A deleted contact cannot be opened; editing shows the card's summary and
// reports the change; a new contact left empty is discarded, one given a
// name is kept and selected.
TEST_F(ContactsTest, EditorOpensOnlyExistingContactsShowsTheSummaryAndKeepsANewContactOnlyWithAName)
{
    // A deleted contact is gone and cannot be deleted or opened.
    const CEOID deleted = Add(L"Short-lived");
    EXPECT_EQ(1, ContactExists(deleted));
    EXPECT_EQ(1, DeleteContact(deleted));
    EXPECT_EQ(0, ContactExists(deleted));
    EXPECT_EQ(0u, Boxes());
    EXPECT_EQ(0, DeleteContact(deleted));
    EXPECT_EQ(1, scenario->Shown(L"Failure to Obtain Contact Item", L"Error"));

    HWND owner = nullptr;
    scenario->AnswerDialogs([&owner](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        Scenario::PressButton(box, IDOK);
    });
    EXPECT_EQ(0, OpenContactEditor(deleted));
    scenario->AnswerDialogs(nullptr);
    EXPECT_EQ(1, scenario->Shown(L"Error in getting contact handle", L"Error"));
    EXPECT_EQ(hMainWindow, owner);
    EXPECT_TRUE(notifications.empty());
    EXPECT_EQ(nullptr, FindWindowW(POOM_CARD_CLASS, POOM_CARD_TITLE));

    const CEOID oid = Add(L"Ivers, Tom", L"Quayside Tools");
    play = CardPlay{};
    const UINT_PTR player = SetTimer(nullptr, 0, 50, PlayCard);
    EXPECT_EQ(1, OpenContactEditor(oid));
    KillTimer(nullptr, player);
    EXPECT_TRUE(play.summaryShown) << "timer 1 switched the card to its summary";
    // On the device's screen below the navigation bar, not at the desktop's corner.
    const RECT screen = ceshell::DefaultWindowRect();
    EXPECT_TRUE(EqualRect(&screen, &play.placed)) << play.placed.left << "," << play.placed.top;
    ASSERT_EQ(1u, notifications.size());
    EXPECT_EQ(static_cast<UINT>(DB_CEOID_CHANGED), notifications[0].uType) << "the one kind the lists act on";

    for (const wchar_t* lastName : {static_cast<const wchar_t*>(nullptr), L"Okonkwo"}) {
        notifications.clear();
        play = CardPlay{};
        play.typeLastName = lastName;
        const UINT_PTR player = SetTimer(nullptr, 0, 50, PlayCard);
        EXPECT_EQ(lastName ? 1 : 0, OpenContactEditor(0));
        KillTimer(nullptr, player);
        EXPECT_TRUE(play.done);
        EXPECT_EQ(lastName ? 2u : 1u, Listed(0, SORT_BY_NAME, 0).size());
        EXPECT_EQ(lastName != nullptr, newContactOid != 0);
        EXPECT_EQ(lastName != nullptr, Stored(newContactOid));
        EXPECT_EQ(lastName ? 1u : 0u, notifications.size()) << "a discarded contact has nothing to refresh";
    }
}
