#include "tests/contacts/contacts_fixture.h"

#include "contacts/contact_source.h"
#include "views/contact_card.h"
#include "contacts/field_catalogue.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_server.h"
#include "settings/settings.h"
#include "base/app_folders.h"
#include "shell/app_state.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/find_filter.h"
#include "store/profiles.h"

std::vector<ShownBox> ContactsTest::boxes;
std::vector<CENOTIFICATION> ContactsTest::notifications;

namespace {

HHOOK hook;

std::wstring Here()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    wchar_t className[16] = L"";
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") == 0) {
        wchar_t text[256] = L"";
        GetWindowTextW(child, text, 256);
        if (text[0])
            reinterpret_cast<ShownBox*>(param)->text = text;
    }
    return TRUE;
}

LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(window, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            ShownBox box;
            wchar_t title[128] = L"";
            GetWindowTextW(window, title, 128);
            box.title = title;
            box.owner = GetWindow(window, GW_OWNER);
            EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&box));
            ContactsTest::boxes.push_back(box);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

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
    const std::wstring root = Here() + L"\\contacts_test";
    CreateDirectoryW(root.c_str(), nullptr);
    for (const wchar_t* sub : {L"\\device", L"\\install", L"\\documents"})
        CreateDirectoryW((root + sub).c_str(), nullptr);
    DeleteFileW((root + L"\\device\\device.vol").c_str());
    DeleteFileW((root + L"\\install\\vt1.vol").c_str());
    DeleteFileW((root + L"\\documents\\vt1.vol").c_str());
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", (root + L"\\device").c_str());
    OverrideAppFolders(root + L"\\install", root + L"\\documents");

    WNDCLASSW cls = {};
    cls.lpfnWndProc = MainProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"ContactsTestMain";
    RegisterClassW(&cls);
    hook = SetWindowsHookExW(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());

    // The activity side, for the fields of a contact's latest activity.
    MountVolumeAtStartup(nullptr);
    settings.activitysortfield = PROPID_DATE;
    OpenActivityDatabase();
}

void ContactsTest::SetUp()
{
    hMainWindow = CreateWindowW(L"ContactsTestMain", L"Vantaro test", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, hMainWindow);
    ASSERT_TRUE(SUCCEEDED(RegisterPoomServer()));
    std::vector<poom::ContactData> all;
    poom::LoadAllContacts(all);
    for (const auto& c : all)
        poom::DeleteContactRecord(c.oid);

    FillContactPropertyNames();
    findBarVisible = 0;
    findMode = FIND_MODE_CONTACTS;
    findText[0] = 0;
    categoryRestriction = nullptr;
    settings.numcontactfield = 2;
    settings.contactfield[0] = 0;
    settings.contactfield[1] = 4;
    settings.lv1sortcolumn = 0;
    settings.lv1sortdirection = 1;
    settings.lastcontactfindfield = 0;
    newContactOid = 0;

    ASSERT_EQ(1, OpenOutlookConnection(hMainWindow));
    boxes.clear();
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

int ContactsTest::StoredCount()
{
    std::vector<poom::ContactData> all;
    poom::LoadAllContacts(all);
    return static_cast<int>(all.size());
}

