// A connection to a device store of the test's own, a stand-in main window
// that records what the contact source sends it, and a scenario that gives
// the folders and answers and records system message boxes.
#pragma once
#include "tests/harness/scenario.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cedb/windbase.h"

class ContactsTest : public ::testing::Test {
public:
    static std::vector<CENOTIFICATION> notifications;

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite() { delete scenario; }
    void SetUp() override;
    void TearDown() override;

    CEOID Add(const std::wstring& fileAs, const std::wstring& company = L"", const std::wstring& categories = L"",
              double birthday = 949998.0);
    // Sets one text property (contact field index) of a stored contact.
    void SetText(CEOID oid, int field, const std::wstring& text);
    bool Stored(CEOID oid);
    // How many system message boxes the test has seen so far.
    size_t Boxes() const;

    static Scenario* scenario;
    size_t boxesBefore = 0;
};
