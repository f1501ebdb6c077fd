// The connection that start-up opens, in a process of its own: the device's
// object store is mounted once per process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "contacts/field_catalogue.h"
#include "tests/harness/scenario.h"

namespace {

bool Saw(const Scenario& scenario, const std::wstring& title, const std::wstring& text)
{
    for (const SeenDialog& dialog : scenario.Dialogs()) {
        if (dialog.title != title)
            continue;
        for (const std::wstring& shown : dialog.texts)
            if (shown == text)
                return true;
    }
    return false;
}

}  // namespace

// Runs first: the store cannot be opened, so neither can the connection.
TEST(StartupConnection, FailureIsReportedAndContactOperationsStayEmpty)
{
    Scenario scenario;
    // A file where the device folder should be: the store cannot be opened.
    const std::wstring blocked = scenario.Root() + L"\\blocked";
    HANDLE file = CreateFileW(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", (blocked + L"\\device").c_str());

    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, IDOK); });
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(Saw(scenario, L"Error", L"Failure to logon to app object."));
    EXPECT_TRUE(Saw(scenario, L"Error", L"Could not connect to POOM!"));
    EXPECT_EQ(0, outlookLoggedOn);

    CEOID* oids = nullptr;
    int count = -1;
    ListContactOids(&oids, &count, 1, SORT_BY_NAME, 1);
    EXPECT_EQ(nullptr, oids);
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, CountContacts());
    EXPECT_EQ(0, OpenContactEditor(0));
    wchar_t name[40] = L"kept";
    GetContactName(1, name, 40);
    EXPECT_STREQ(L"", name);
    EXPECT_EQ(0, scenario.Close());
}

TEST(StartupConnection, StartUpConnectsAndFillsThePropertyNames)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(1, outlookLoggedOn);
    EXPECT_NE(nullptr, contactsFolder);
    EXPECT_STREQ(L"[BusinessTelephoneNumber]", contactPropertyNames[9]);
    EXPECT_EQ(0, CountContacts());
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(0, outlookLoggedOn) << "closing the main window ends the connection";
}
