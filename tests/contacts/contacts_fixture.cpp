#include "tests/contacts/contacts_fixture.h"

#include "contacts/contact_source.h"
#include "views/contact_card.h"
#include "contacts/field_catalogue.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_server.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "store/find_filter.h"
#include "store/profiles.h"
#include "tests/harness/device_contacts.h"

std::vector<CENOTIFICATION> ContactsTest::notifications;
Scenario* ContactsTest::scenario;

namespace {

// Plays the main window's part: timer 1 runs the Summary switch, and
// change records are kept for the test to look at.
LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == CONTACT_SUMMARY_TIMER) {
        KillTimer(window, CONTACT_SUMMARY_TIMER);
        SwitchContactCardToSummary();
        return 0;
    }
    if (message == WM_DBNOTIFICATION) {
        auto* change = reinterpret_cast<CENOTIFICATION*>(lParam);
        if (change) {
            ContactsTest::notifications.push_back(*change);
            CeFreeNotification(nullptr, change);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void ContactsTest::SetUpTestSuite()
{
    scenario = new Scenario;
    WNDCLASSW cls = {};
    cls.lpfnWndProc = MainProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"ContactsTestMain";
    RegisterClassW(&cls);
    // The activity side, for the fields of a contact's latest activity.
    scenario->OpenStore();
}

void ContactsTest::SetUp()
{
    hMainWindow = CreateWindowW(L"ContactsTestMain", L"Vantaro test", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, hMainWindow);
    ASSERT_TRUE(SUCCEEDED(RegisterPoomServer()));
    ASSERT_TRUE(EmptyDeviceContacts());

    FillContactPropertyNames();
    findBarVisible = 0;
    findMode = FIND_MODE_CONTACTS;
    findText[0] = 0;
    categoryRestriction = nullptr;
    settings.lv1sortcolumn = 0;
    settings.lv1sortdirection = 1;
    settings.lastcontactfindfield = 0;
    newContactOid = 0;

    ASSERT_EQ(1, OpenOutlookConnection(hMainWindow));
    boxesBefore = Boxes();
    notifications.clear();
}

void ContactsTest::TearDown()
{
    CloseOutlookConnection();
    DestroyWindow(hMainWindow);
    hMainWindow = nullptr;
}

CEOID ContactsTest::Add(const std::wstring& fileAs, const std::wstring& company, const std::wstring& categories,
                        double birthday)
{
    poom::ContactData data;
    data.text[0] = fileAs;
    data.text[4] = company;
    data.categories = categories;
    data.birthday = birthday;
    return poom::SaveContactRecord(data);
}

void ContactsTest::SetText(CEOID oid, int field, const std::wstring& text)
{
    poom::ContactData data;
    ASSERT_TRUE(poom::LoadContact(oid, data));
    data.text[field] = text;
    ASSERT_EQ(oid, poom::SaveContactRecord(data));
}

bool ContactsTest::Stored(CEOID oid)
{
    poom::ContactData data;
    return poom::LoadContact(oid, data);
}

size_t ContactsTest::Boxes() const
{
    size_t count = 0;
    for (const SeenDialog& dialog : scenario->Dialogs())
        count += dialog.className == L"#32770";
    return count - boxesBefore;
}
