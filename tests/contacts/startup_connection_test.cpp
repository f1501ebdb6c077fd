// The connection that start-up opens, in a process of its own: the device's
// object store is mounted once per process.
#include <windows.h>

#include <gtest/gtest.h>


#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/scenario.h"

// The store cannot be opened, so neither can the connection. The store is
// mounted once per process, so this runs in a fresh one whatever ran before.
TEST(StartupConnection, FailureIsReportedAndContactOperationsStayEmpty)
{
    if (!GetEnvironmentVariableW(L"VANTARO_FRESH_PROCESS", nullptr, 0)) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        SetEnvironmentVariableW(L"VANTARO_FRESH_PROCESS", L"1");
        DWORD exitCode = 1;
        const bool ran = RunProgram(L"\"" + std::wstring(self) + L"\" --gtest_filter=" +
                                        L"StartupConnection.FailureIsReportedAndContactOperationsStayEmpty",
                                    &exitCode, 120000);
        SetEnvironmentVariableW(L"VANTARO_FRESH_PROCESS", nullptr);
        ASSERT_TRUE(ran);
        EXPECT_EQ(0u, exitCode) << "the case failed in its own process (its output is above)";
        return;
    }
    Scenario scenario;
    // A file where the device folder should be: the store cannot be opened.
    const std::wstring blocked = scenario.Root() + L"\\blocked";
    ASSERT_TRUE(WriteFileBytes(blocked, ""));
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", (blocked + L"\\device").c_str());

    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, IDOK); });
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Saw(L"Failure to logon to app object.", L"Error"));
    EXPECT_TRUE(scenario.Saw(L"Could not connect to POOM!", L"Error"));
    EXPECT_EQ(0, outlookLoggedOn);
    // Left as after a close, whose listing and card the contacts suite checks.
    EXPECT_EQ(nullptr, contactsFolder);
    wchar_t name[40] = L"kept";
    GetContactName(1, name, 40);
    EXPECT_STREQ(L"", name);
    EXPECT_EQ(0, scenario.Close());
}

TEST(StartupConnection, ClosingEndsTheConnectionThatStartUpOpened)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_EQ(1, outlookLoggedOn);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(0, outlookLoggedOn) << "closing the main window ends the connection";
}
