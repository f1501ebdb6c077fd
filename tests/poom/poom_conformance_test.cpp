// What the program relies on from the contact object model, checked against
// the stand-in directly.
#include "tests/poom/poom_fixture.h"

#include "tests/notify/notify_testing.h"

#include "platform/cedb/windbase.h"
#include "platform/cedb/core/file_system.h"
#include "platform/poom/card_save_failure.h"
#include "platform/poom/contact_records.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/harness/log_reserve.h"
#include "tests/harness/ui_wait.h"

namespace {

const bool freshStore = (UseFreshDeviceStore(L"poom_test_device"), true);
// The device store lives on a disk the tests can fill.
cedb_test::FullDiskFileSystem disk{cedb::FileSystem::Default()};
const bool diskInstalled = (cedb::SetServiceFileSystemForTesting(&disk), true);

using NameList = std::vector<std::wstring>;

// The contacts database opened past the object model, as other programs on
// the device write it.
HANDLE OpenContactsDatabase()
{
    CEGUID store = DeviceStore();
    CEOID database = 0;
    return CeOpenDatabaseEx(&store, &database, const_cast<LPWSTR>(L"Contacts Database"), 0, 0, nullptr);
}

}  // namespace

// --- Saving ---------------------------------------------------------------------

TEST_F(PoomTest, FieldsCategoriesAndLongTextSurviveSavingAndAContactIsFiledUnderItsName)
{
    const long oid = AddContact({L"Quill, Harriet", L"Harriet", L"Quill", L"Inkwell & Sons", L" VIP ,Press,,VIP"});
    ContactPtr contact = Fetch(oid);
    ASSERT_TRUE(contact);
    const std::wstring longText(300, L'x');
    contact->put_WebPage(Bstr(longText.c_str()));
    contact->put_BusinessFaxNumber(Bstr(L"+1 555 0100"));
    contact->put_Birthday(OleDate(At(1969, 7, 20)));
    EXPECT_EQ(S_OK, contact->Save());

    contact = Fetch(oid);
    ASSERT_TRUE(contact);
    EXPECT_EQ(longText, Text(contact, &IContact::get_WebPage));
    EXPECT_EQ(L"+1 555 0100", Text(contact, &IContact::get_BusinessFaxNumber));
    EXPECT_EQ(L"VIP, Press, VIP", Text(contact, &IContact::get_Categories));
    DATE birthday = 0;
    contact->get_Birthday(&birthday);
    EXPECT_EQ(OleDate(At(1969, 7, 20)), birthday);

    const auto known = poom::LoadCategoryNames();
    EXPECT_EQ(1, std::count(known.begin(), known.end(), L"VIP"));
    EXPECT_EQ(1, std::count(known.begin(), known.end(), L"Press"));

    // Saved without a file-as name, a contact is filed under its name.
    ContactPtr named = Fetch(AddContact({L"", L"Ottilie", L"Brandt"}));
    ContactPtr company = Fetch(AddContact({L"", L"", L"", L"Lakeside Kilns"}));
    ContactPtr placeholder = Fetch(AddContact({L"", L"  "}));
    ASSERT_TRUE(named && company && placeholder);
    EXPECT_EQ(L"Brandt, Ottilie", Text(named, &IContact::get_FileAs));
    EXPECT_EQ(L"Lakeside Kilns", Text(company, &IContact::get_FileAs));
    EXPECT_EQ(L"", Text(placeholder, &IContact::get_FileAs));
}

// --- Sorting and restriction ----------------------------------------------------

// Another text property sorts with empty first, a date with no date last.
// File-as names sort by keys computed once per contact; their order must be
// the one the locale's own comparison gives, where accents, apostrophes,
// hyphens and digits do not sort as their code points, and equal names keep
// their order.
TEST_F(PoomTest, SortsAnyPropertyAndNamesInTheLocalesOrderKeepingEqualNamesInPlace)
{
    AddContact({L"beta", L"", L"", L"Carrow Ltd", L"", OleDate(At(1980, 1, 1))});
    AddContact({L"Alpha", L"", L"", L"acme"});
    AddContact({L"Gamma", L"", L"", L"", L"", OleDate(At(1975, 6, 1))});
    IPOutlookItemCollection* items = Items();
    EXPECT_EQ(S_OK, items->Sort(Bstr(L"[CompanyName]"), VARIANT_FALSE));
    EXPECT_EQ((NameList{L"Gamma", L"Alpha", L"beta"}), Names(items));
    items->Sort(Bstr(L"[Birthday]"), VARIANT_FALSE);
    EXPECT_EQ((NameList{L"Gamma", L"beta", L"Alpha"}), Names(items));
    items->Sort(Bstr(L"[Birthday]"), VARIANT_TRUE);
    EXPECT_EQ((NameList{L"Alpha", L"beta", L"Gamma"}), Names(items));
    items->Release();

    const wchar_t* const names[] = {L"zoe",   L"Zoë",     L"O'Neil", L"o'brien", L"Oster", L"Øster", L"co-op",
                                    L"coop",  L"Émile",   L"Eve",    L"10 Downing", L"9 Elms", L"de la Cruz",
                                    L"Del Monte", L"SAME", L"same",  L"",       L"ångström", L"Zulu"};
    for (const wchar_t* name : names)
        AddContact({name});
    items = Items();
    for (VARIANT_BOOL descending : {VARIANT_FALSE, VARIANT_TRUE}) {
        ASSERT_EQ(S_OK, items->Sort(Bstr(L"[FileAs]"), descending));
        const NameList sorted = Names(items);
        ASSERT_EQ(std::size(names) + 3, sorted.size());
        for (size_t i = 1; i < sorted.size(); ++i) {
            const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, sorted[i - 1].c_str(), -1,
                                             sorted[i].c_str(), -1);
            EXPECT_NE(descending ? CSTR_LESS_THAN : CSTR_GREATER_THAN, order)
                << "'" << sorted[i - 1] << "' before '" << sorted[i] << "'";
        }
        const auto same = std::find(sorted.begin(), sorted.end(), L"SAME");
        ASSERT_NE(sorted.end(), same);
        ASSERT_NE(sorted.end(), same + 1);
        EXPECT_EQ(L"same", *(same + 1)) << "equal names stay in the order they were stored";
    }
    items->Release();
}

// Collections share what was read until the store changes: every change,
// through the object model or straight into the database, shows in the next
// listing, while a collection listed before keeps its own contents. (A
// deletion showing is the lists suite's watch test.)
TEST_F(PoomTest, ListingsFollowEveryChangeOfTheStore)
{
    AddContact({L"Kept"});
    const long renamed = AddContact({L"Renamed"});
    IPOutlookItemCollection* before = Items();
    before->Sort(Bstr(L"[FileAs]"), VARIANT_FALSE);

    ContactPtr contact = Fetch(renamed);
    ASSERT_TRUE(contact);
    contact->put_FileAs(Bstr(L"Aardvark"));
    ASSERT_EQ(S_OK, contact->Save());

    HANDLE direct = OpenContactsDatabase();
    ASSERT_NE(INVALID_HANDLE_VALUE, direct);
    CEPROPVAL fileAs = {};
    fileAs.propid = static_cast<CEPROPID>(0x4000 << 16 | CEVT_LPWSTR);
    fileAs.val.lpwstr = const_cast<LPWSTR>(L"Written directly");
    EXPECT_NE(0u, CeWriteRecordProps(direct, 0, 1, &fileAs));
    CloseHandle(direct);

    IPOutlookItemCollection* after = Items();
    after->Sort(Bstr(L"[FileAs]"), VARIANT_FALSE);
    EXPECT_EQ((NameList{L"Aardvark", L"Kept", L"Written directly"}), Names(after));
    EXPECT_EQ((NameList{L"Kept", L"Renamed"}), Names(before)) << "an earlier collection is unchanged";
    after->Release();
    before->Release();
}

// A record stored before the further properties existed loads as it was
// and takes them on; saving them leaves the first properties as they were.
TEST_F(PoomTest, ARecordOfTheFirstPropertiesLoadsAndTakesOnTheRest)
{
    HANDLE direct = OpenContactsDatabase();
    ASSERT_NE(INVALID_HANDLE_VALUE, direct);
    CEPROPVAL old[4] = {};
    old[0].propid = 0x4000 << 16 | CEVT_LPWSTR;  // FileAs
    old[0].val.lpwstr = const_cast<LPWSTR>(L"Stored Early");
    old[1].propid = 0x4013 << 16 | CEVT_LPWSTR;  // Department
    old[1].val.lpwstr = const_cast<LPWSTR>(L"Archive");
    old[2].propid = 0x4014 << 16 | CEVT_R8;  // Birthday
    old[2].val.dblVal = 30000.0;
    old[3].propid = 0x4015 << 16 | CEVT_LPWSTR;  // Categories
    old[3].val.lpwstr = const_cast<LPWSTR>(L"Old");
    const long oid = static_cast<long>(CeWriteRecordProps(direct, 0, 4, old));
    CloseHandle(direct);
    ASSERT_NE(0, oid);

    for (int pass = 0; pass < 2; ++pass) {
        ContactPtr contact = Fetch(oid);
        ASSERT_TRUE(contact);
        EXPECT_EQ(L"Stored Early", Text(contact, &IContact::get_FileAs));
        EXPECT_EQ(L"Archive", Text(contact, &IContact::get_Department));
        EXPECT_EQ(L"Old", Text(contact, &IContact::get_Categories));
        DATE birthday = 0, anniversary = 0;
        contact->get_Birthday(&birthday);
        contact->get_Anniversary(&anniversary);
        EXPECT_EQ(30000.0, birthday);
        EXPECT_EQ(pass ? 31000.0 : POOM_NO_DATE, anniversary);
        EXPECT_EQ(pass ? L"Line one\r\nLine two" : L"", Text(contact, &IContact::get_Body));
        EXPECT_EQ(pass ? L"xmpp:a@b.example" : L"", Text(contact, &IContact::get_IM3Address));
        if (!pass) {
            contact->put_Body(Bstr(L"Line one\r\nLine two"));
            contact->put_IM3Address(Bstr(L"xmpp:a@b.example"));
            contact->put_Anniversary(31000.0);
            EXPECT_EQ(S_OK, contact->Save());
        }
    }
}

// --- The contact card ---------------------------------------------------------------

namespace {

struct CardVisit {
    int callerTicks = 0, attempts = 0;
    bool editViewAtStart = false, summaryShown = false, refusing = false, closed = false;
    std::wstring summaryText, refusal, categoriesKept;
} visit;

// Plays the user: runs from the card's own message loop.
void CALLBACK DriveCard(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND card = FindWindowW(POOM_CARD_CLASS, POOM_CARD_TITLE);
    // Acts once the caller's own timer has been seen ticking meanwhile, or
    // after ten seconds, so that a broken card fails the test instead of
    // hanging it.
    if (!card || visit.closed || (visit.callerTicks < 5 && ++visit.attempts < 100))
        return;
    HWND page = FindWindowExW(card, nullptr, L"DialogPage", nullptr);
    if (visit.refusing) {
        // The close was refused with a message; once it is answered the
        // card is still there with what was typed.
        HWND box = FindWindowW(L"#32770", nullptr);
        while (box && GetWindow(box, GW_OWNER) != card)
            box = FindWindowExW(nullptr, box, L"#32770", nullptr);
        if (box && visit.refusal.empty()) {
            visit.refusal = ItemText(box, 0xFFFF);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        if (box || visit.refusal.empty())
            return;
        visit.categoriesKept = ItemText(page, POOM_CARD_CATEGORIES_ID);
        SetDlgItemTextW(page, POOM_CARD_CATEGORIES_ID, L"Press,Family");
        visit.closed = true;
        KillTimer(nullptr, timer);
        PostMessageW(card, WM_CLOSE, 0, 0);
        return;
    }
    HWND summaryView = GetDlgItem(card, POOM_CARD_SUMMARY_VIEW_ID);
    visit.editViewAtStart = IsWindowVisible(page) && !IsWindowVisible(summaryView);
    SendMessageW(FindWindowExW(card, nullptr, nullptr, POOM_CARD_SUMMARY), WM_COMMAND, POOM_CARD_SUMMARY_COMMAND, 0);
    visit.summaryShown = IsWindowVisible(summaryView) && !IsWindowVisible(page);
    visit.summaryText = WindowText(summaryView);

    SetDlgItemTextW(page, POOM_CARD_FIRST_FIELD_ID + 1, L"Wilhelmina");
    SetDlgItemTextW(page, POOM_CARD_CATEGORIES_ID, L"Press, Harbour festival volunteers 2027");
    CheckDlgButton(page, POOM_CARD_HAS_BIRTHDAY_ID, BST_UNCHECKED);
    visit.refusing = true;
    PostMessageW(card, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(PoomTest, CardShowsSummaryOnCommand105AndSavesOnCloseWithCategoriesThatFit)
{
    const long oid = AddContact({L"Voss, Mina", L"Mina", L"Voss", L"Harbour Lights", L"Press",
                                 OleDate(At(1990, 3, 4))});
    ContactPtr contact = Fetch(oid);
    ASSERT_TRUE(contact);
    visit = CardVisit{};
    const UINT_PTR ticker = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++visit.callerTicks; });
    const UINT_PTR driver = SetTimer(nullptr, 0, 100, DriveCard);
    EXPECT_EQ(S_OK, contact->Display());
    KillTimer(nullptr, ticker);
    KillTimer(nullptr, driver);

    EXPECT_TRUE(visit.closed);
    EXPECT_GE(visit.callerTicks, 5) << "the caller's timers run while the card is open";
    EXPECT_TRUE(visit.editViewAtStart);
    EXPECT_TRUE(visit.summaryShown);
    EXPECT_NE(std::wstring::npos, visit.summaryText.find(L"Voss, Mina"));
    EXPECT_EQ(nullptr, FindWindowW(POOM_CARD_CLASS, POOM_CARD_TITLE));
    EXPECT_NE(std::wstring::npos, visit.refusal.find(L"at most 29 characters")) << visit.refusal;
    EXPECT_NE(std::wstring::npos, visit.refusal.find(L"\nHarbour festival volunteers 2027")) << visit.refusal;
    EXPECT_EQ(std::wstring::npos, visit.refusal.find(L"Press")) << visit.refusal;
    EXPECT_EQ(L"Press, Harbour festival volunteers 2027", visit.categoriesKept);

    contact = Fetch(oid);
    ASSERT_TRUE(contact);
    EXPECT_EQ(L"Wilhelmina", Text(contact, &IContact::get_FirstName));
    EXPECT_EQ(L"Voss", Text(contact, &IContact::get_LastName));
    EXPECT_EQ(L"Press, Family", Text(contact, &IContact::get_Categories));
    DATE birthday = 0;
    contact->get_Birthday(&birthday);
    EXPECT_EQ(POOM_NO_DATE, birthday);
}

// What the card could not save stays on it: the program hears why, and the
// next close, once there is space, saves it.
TEST_F(PoomTest, CardThatCannotSaveStaysOpenWithWhatWasTyped)
{
    const long oid = AddContact({L"Voss, Mina", L"Mina", L"Voss", L"", L"", POOM_NO_DATE});
    ASSERT_TRUE(UseUpLogReserve(DeviceStore()));

    static DWORD heard;
    static bool stillOpen;
    heard = 0;
    SetContactSaveFailureHandler([](HWND card, DWORD error) {
        heard = error;
        stillOpen = IsWindow(card) && GetDlgItem(FindWindowExW(card, nullptr, L"DialogPage", nullptr),
                                                 POOM_CARD_FIRST_FIELD_ID + 1);
        disk.SetUnlimited();
        PostMessageW(card, WM_CLOSE, 0, 0);
    });
    const UINT_PTR driver = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND card = FindWindowW(POOM_CARD_CLASS, POOM_CARD_TITLE);
        if (!card)
            return;
        KillTimer(nullptr, timer);
        SetDlgItemTextW(FindWindowExW(card, nullptr, L"DialogPage", nullptr), POOM_CARD_FIRST_FIELD_ID + 1,
                        L"Wilhelmina");
        disk.SetFreeBytes(0);
        PostMessageW(card, WM_CLOSE, 0, 0);
    });
    ContactPtr contact = Fetch(oid);
    ASSERT_TRUE(contact);
    EXPECT_EQ(S_OK, contact->Display());
    KillTimer(nullptr, driver);
    SetContactSaveFailureHandler(nullptr);
    disk.SetUnlimited();
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), heard);
    EXPECT_TRUE(stillOpen);
    contact = Fetch(oid);
    ASSERT_TRUE(contact);
    EXPECT_EQ(L"Wilhelmina", Text(contact, &IContact::get_FirstName));
    EXPECT_TRUE(FreeLogReserve(DeviceStore()));
}
