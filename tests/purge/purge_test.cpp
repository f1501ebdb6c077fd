#include "tests/views/views_fixture.h"
#include "tests/harness/activity_readers.h"
#include "tests/notify/notify_testing.h"

#include "activity/purge.h"
#include "contacts/contact_source.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_objects.h"
#include "resources/resource.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/profiles.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// The engine grows a reading buffer through LocalReAlloc; armed, the next
// growth fails as when memory runs out, and that record cannot be read.
bool failNextGrowth;

HLOCAL WINAPI GrowUnlessArmed(HLOCAL memory, SIZE_T bytes, UINT flags)
{
    static const auto grow = reinterpret_cast<HLOCAL(WINAPI*)(HLOCAL, SIZE_T, UINT)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LocalReAlloc")));
    if (!failNextGrowth)
        return grow(memory, bytes, flags);
    failNextGrowth = false;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

// Linked in place of the import, for every caller in this program.
extern "C" {
HLOCAL(WINAPI* __imp_LocalReAlloc)(HLOCAL, SIZE_T, UINT) = GrowUnlessArmed;
}

namespace {

// The contacts folder of the object model, whose listings fail to fetch one
// contact, as the object model may: the contact is there all the same.
template <class Interface>
class Forwarding : public poom::DispatchObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
};

class ItemsMissingOne : public Forwarding<IPOutlookItemCollection> {
public:
    ItemsMissingOne(IPOutlookItemCollection* items, CEOID missing) : items(items), missing(missing) {}
    ~ItemsMissingOne() override { items->Release(); }
    HRESULT STDMETHODCALLTYPE Add(IDispatch** out) override { return items->Add(out); }
    HRESULT STDMETHODCALLTYPE get_Count(int* count) override { return items->get_Count(count); }
    HRESULT STDMETHODCALLTYPE Item(int index, IDispatch** out) override
    {
        const HRESULT result = items->Item(index, out);
        IContact* contact = nullptr;
        long oid = 0;
        if (SUCCEEDED(result) && SUCCEEDED((*out)->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact)))) {
            contact->get_Oid(&oid);
            contact->Release();
        }
        if (static_cast<CEOID>(oid) != missing)
            return result;
        (*out)->Release();
        *out = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Remove(int index) override { return items->Remove(index); }
    HRESULT STDMETHODCALLTYPE Restrict(BSTR text, IPOutlookItemCollection** out) override
    {
        return items->Restrict(text, out);
    }
    HRESULT STDMETHODCALLTYPE Sort(BSTR property, VARIANT_BOOL descending) override
    {
        return items->Sort(property, descending);
    }
    HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** out) override { return items->get_Application(out); }

private:
    IPOutlookItemCollection* items;
    CEOID missing;
};

class FolderMissingOne : public Forwarding<IFolder> {
public:
    FolderMissingOne(IFolder* folder, CEOID missing) : folder(folder), missing(missing) {}
    HRESULT STDMETHODCALLTYPE get_Items(IPOutlookItemCollection** out) override
    {
        IPOutlookItemCollection* items = nullptr;
        const HRESULT result = folder->get_Items(&items);
        *out = SUCCEEDED(result) ? new ItemsMissingOne(items, missing) : nullptr;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_DefaultItemType(int* type) override { return folder->get_DefaultItemType(type); }
    HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** out) override { return folder->get_Application(out); }

private:
    IFolder* folder;
    CEOID missing;
};

class PurgeTest : public ViewsTest {
protected:
    static std::vector<CEOID> ActivitiesOf(CEOID contact)
    {
        std::vector<CEOID> list = ActivityOids(contact);
        std::sort(list.begin(), list.end());
        return list;
    }

    static CEOID Latest(CEOID contact)
    {
        CEOID* latest = nullptr;
        getLastActivityOIDList(&latest, &contact, 1);
        const CEOID oid = latest ? latest[0] : 0;
        std::free(latest);
        return oid;
    }
};

} // namespace

TEST_F(PurgeTest, ByDateKeepsTheChosenDayWhateverTheTimesAndRecomputesTheLatest)
{
    const CEOID ames = AddContact(L"Ames");
    ASSERT_NE(nullptr, Start());
    const double today = TodayDate();
    FileActivity(ames, L"Ames", today - 1 + 0.99, TRUE);   // late yesterday, the latest
    const CEOID earlyToday = FileActivity(ames, L"Ames", today + 0.01);
    const CEOID noon = FileActivity(ames, L"Ames", today + 0.5);
    // The dialog passes the chosen day, at its time of day, less one day.
    PurgeActivities(ames, today + 0.7 - 1.0);
    EXPECT_EQ((std::vector<CEOID>{earlyToday, noon}), ActivitiesOf(ames));
    EXPECT_EQ(noon, Latest(ames)) << "the purged flagged activity hands the mark to the latest Next Date";

    PurgeActivities(ames, 0.0);
    EXPECT_TRUE(ActivitiesOf(ames).empty());
}

TEST_F(PurgeTest, AllContactsMeansThoseOfTheActiveProfileOnly)
{
    const CEOID business = AddContact(L"Ames", L"", L"Business");
    const CEOID press = AddContact(L"Berg", L"", L"Press");
    ASSERT_NE(nullptr, Start());
    const double today = TodayDate();
    FileActivity(business, L"Ames", today - 5);
    const CEOID kept = FileActivity(business, L"Ames", today);
    const CEOID outside = FileActivity(press, L"Berg", today - 5);
    CategoryName onlyBusiness = L"Business";
    FormatCategoryRestriction(&onlyBusiness, 1, &categoryRestriction);
    PurgeActivities(0, today - 1.0);
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivitiesOf(business));
    EXPECT_EQ(std::vector<CEOID>{outside}, ActivitiesOf(press));
    FreeCategoryRestriction();
}

TEST_F(PurgeTest, ByDateOverManyActivitiesKeepsTheLaterOnesAndOneMarkEach)
{
    const CEOID ames = AddContact(L"Ames");
    const CEOID berg = AddContact(L"Berg");
    ASSERT_NE(nullptr, Start());
    // Interleaved contacts, dates on both sides of the threshold, the mark on
    // an early activity; more deletions than the store makes at once. The
    // orphan's id sorts first, so a contact of the profile ends the pass.
    const CEOID orphan = std::min(ames, berg) - 1;
    ASSERT_NE(0u, orphan);
    const CEOID owners[] = {ames, berg, orphan};
    std::map<CEOID, std::vector<CEOID>> later;
    std::map<CEOID, std::pair<double, CEOID>> latest;   // the first kept of the latest Next Date
    for (int i = 0; i < 900; ++i) {
        const CEOID owner = owners[i % 3];
        const double date = 45000 + (i * 7) % 200;
        const CEOID oid = FileActivity(owner, L"Any", date, i < 3);
        if (date > 45100 || owner == orphan)
            later[owner].push_back(oid);
        if (date > 45100 && date > latest[owner].first)
            latest[owner] = {date, oid};
    }
    PurgeActivities(0, 45100.5);
    for (CEOID owner : owners)
        EXPECT_EQ(later[owner], ActivitiesOf(owner));
    for (CEOID owner : {ames, berg})
        EXPECT_EQ(latest[owner].second, Latest(owner));
    EXPECT_EQ(static_cast<int>(later[orphan].size()), RemoveOrphans());
    EXPECT_TRUE(ActivitiesOf(orphan).empty());
}

TEST_F(PurgeTest, OrphansAreRemovedOrGoToTheFirstContactOfTheirFileAs)
{
    const CEOID gone = AddContact(L"Same, Name");
    const CEOID first = AddContact(L"Same, Name");
    const CEOID second = AddContact(L"Same, Name");
    const CEOID other = AddContact(L"Other");
    ASSERT_NE(nullptr, Start());
    const CEOID a = FileActivity(gone, L"Same, Name", 45000, TRUE);
    const CEOID b = FileActivity(gone, L"Same, Name", 45010);
    FileActivity(gone, L"same, name", 45020);   // letter case counts: left an orphan
    const CEOID stays = FileActivity(other, L"Same, Name", 45030);
    const CEOID theirs = FileActivity(first, L"Same, Name", 45040, TRUE);
    ASSERT_TRUE(poom::DeleteContactRecord(gone));

    CEOID* byName = nullptr;
    int count = 0;
    ListContactOids(&byName, &count, 0, SORT_BY_NAME, 0);
    ASSERT_GE(count, 3);
    const CEOID winner = byName[0] == other ? byName[1] : byName[0];
    std::free(byName);
    ASSERT_TRUE(winner == first || winner == second);

    EXPECT_EQ(2, LinkOrphans());
    std::vector<CEOID> expected = {a, b};
    if (winner == first)
        expected.push_back(theirs);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, ActivitiesOf(winner));
    EXPECT_EQ(std::vector<CEOID>{stays}, ActivitiesOf(other));
    EXPECT_EQ(winner == first ? theirs : b, Latest(winner)) << "the mark sits on the latest Next Date";
    int flagged = 0;
    for (CEOID oid : ActivitiesOf(winner))
        flagged += ReadActivity(oid).lastFlag ? 1 : 0;
    EXPECT_EQ(1, flagged) << "a relinked activity brings no second mark";

    EXPECT_EQ(0, LinkOrphans());
    EXPECT_EQ(1, RemoveOrphans());
    EXPECT_TRUE(ActivitiesOf(gone).empty());
}

TEST_F(PurgeTest, RemovingOrphansKeepsARecordItCannotReadGoesOnAndNeedsTheContacts)
{
    const CEOID live = AddContact(L"Live");
    ASSERT_NE(nullptr, Start());
    // The scan meets them in contact order; the longer FileAs needs more room
    // than any record read before it.
    const CEOID keep = FileActivity(live, L"Live", 45000);
    FileActivity(5151, L"Gone", 45001);
    const CEOID unreadable = FileActivity(5152, L"Gone, with a name that needs more room", 45002);
    FileActivity(5153, L"Gone", 45003);
    scenario->AnswerDialogs([](HWND box) { Scenario::PressButton(box, IDOK); });
    failNextGrowth = true;
    EXPECT_EQ(2, RemoveOrphans());
    EXPECT_FALSE(failNextGrowth);
    EXPECT_EQ(1, Shown(L"Failed to read record 'ReadNextActivityKeysDB'"));
    EXPECT_EQ(std::vector<CEOID>{unreadable}, ActivitiesOf(5152));
    EXPECT_TRUE(ActivitiesOf(5151).empty());
    EXPECT_TRUE(ActivitiesOf(5153).empty());
    EXPECT_EQ(std::vector<CEOID>{keep}, ActivitiesOf(live));

    // Without the contacts every activity would look orphaned.
    CloseOutlookConnection();
    EXPECT_EQ(-1, RemoveOrphans());
    EXPECT_EQ(1, Shown(L"The contacts cannot be read now, so no activity record can be told to be an orphan. "
                       L"Nothing was removed."));
    EXPECT_EQ(std::vector<CEOID>{keep}, ActivitiesOf(live));
    EXPECT_EQ(std::vector<CEOID>{unreadable}, ActivitiesOf(5152));
}

TEST_F(PurgeTest, LinkingLeavesTheActivitiesOfAContactTheListingCannotFetch)
{
    const CEOID unlisted = AddContact(L"Same, Name");
    const CEOID other = AddContact(L"Same, Name");
    ASSERT_NE(nullptr, Start());
    const CEOID kept = FileActivity(unlisted, L"Same, Name", 45000);
    IFolder* const folder = contactsFolder;
    contactsFolder = new FolderMissingOne(folder, unlisted);
    EXPECT_EQ(0, LinkOrphans());
    EXPECT_EQ(0, RemoveOrphans());
    contactsFolder->Release();
    contactsFolder = folder;
    EXPECT_EQ(std::vector<CEOID>{kept}, ActivitiesOf(unlisted));
    EXPECT_TRUE(ActivitiesOf(other).empty());
}

TEST_F(PurgeTest, DialogAsksTheRightQuestionStoresTheMethodAndPurgesOnYesOnly)
{
    const CEOID ames = AddContact(L"Ames");
    ASSERT_NE(nullptr, Start());
    FileActivity(ames, L"Ames", TodayDate() - 3);
    bool seen = false;
    std::vector<bool> dateShown;
    int answer = IDCANCEL;
    scenario->AnswerDialogs([&](HWND window) {
        HWND method = GetDlgItem(window, IDC_PURGE_METHOD);
        if (!method) {
            Scenario::PressButton(window, answer);
            return;
        }
        if (seen)
            return;
        seen = true;
        dateShown.push_back(IsWindowVisible(GetDlgItem(window, IDC_PURGE_DATE)) != FALSE);
        SendMessageW(method, CB_SETCURSEL, 1, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_METHOD, CBN_SELCHANGE), reinterpret_cast<LPARAM>(method));
        dateShown.push_back(IsWindowVisible(GetDlgItem(window, IDC_PURGE_DATE)) != FALSE);
        HWND contact = GetDlgItem(window, IDC_PURGE_CONTACT);
        SendMessageW(contact, CB_SETCURSEL, 1, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_BUTTON, BN_CLICKED), 0);
        EXPECT_EQ(1u, ActivitiesOf(ames).size()) << "No keeps everything";
        answer = IDOK;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_BUTTON, BN_CLICKED), 0);
        EXPECT_TRUE(ActivitiesOf(ames).empty());
        SendMessageW(contact, CB_SETCURSEL, 0, 0);
        SendMessageW(method, CB_SETCURSEL, 0, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_METHOD, CBN_SELCHANGE), reinterpret_cast<LPARAM>(method));
        answer = IDCANCEL;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_BUTTON, BN_CLICKED), 0);
        Scenario::PressButton(window, IDOK);
    });
    scenario->Command(IDM_PURGE);
    scenario->AnswerDialogs(nullptr);
    ASSERT_TRUE(seen);
    EXPECT_EQ((std::vector<bool>{false, true}), dateShown);
    EXPECT_EQ(2, Shown(L"Purging all activity records before " + ShortDate(TodayDate()) + L" for Contact 'Ames'?"));
    EXPECT_EQ(1, Shown(L"Purging all activity records for all Contacts?"));
    EXPECT_EQ(0, StoredValue(L"purgemethod"));
}
