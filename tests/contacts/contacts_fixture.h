// A connection to a device store of the test's own, a stand-in main window
// that records what the contact source sends it, and a hook that answers
// and records system message boxes.
#pragma once
#include "tests/harness/ui_wait.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cedb/windbase.h"

struct ShownBox {
    std::wstring title, text;
    HWND owner;
};

class ContactsTest : public ::testing::Test {
public:
    static std::vector<ShownBox> boxes;
    static std::vector<CENOTIFICATION> notifications;

protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    CEOID Add(const std::wstring& fileAs, const std::wstring& company = L"", const std::wstring& categories = L"",
              double birthday = 949998.0);
    // Sets one text property (contact field index) of a stored contact.
    void SetText(CEOID oid, int field, const std::wstring& text);
    bool Stored(CEOID oid);
    int StoredCount();
};
