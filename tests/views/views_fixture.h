// A running main window over a device store and a volume of the test's own,
// with helpers that add contacts and activities and read what the lists show.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/cedb/windbase.h"
#include "tests/harness/scenario.h"

// Whole days of today's local date as a variant time.
double TodayDate();
// A child window's top in the main window's client coordinates.
int ClientTop(HWND window);

class ViewsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Settings to store before the start; applied by Start.
    void Setting(const wchar_t* name, DWORD value);
    HWND Start();

    CEOID AddContact(const std::wstring& fileAs, const std::wstring& company = L"",
                     const std::wstring& categories = L"");
    CEOID AddActivity(CEOID contact, const std::wstring& event, double date, double nextDate = 0, int done = 0,
                      const std::wstring& notes = L"");
    // What the contact source does after a change: the contacts refresh.
    void ContactsChanged();

    HWND Contacts() const;
    HWND Activities() const;
    HWND Notes() const;
    std::wstring Cell(HWND list, int row, int column) const;
    int Rows(HWND list) const;
    int Mark(HWND list) const;
    void TapRow(HWND list, int row);
    void TapHeader(HWND list, int column);
    std::wstring NotesText() const;
    bool Stored(const wchar_t* name, DWORD* value) const;
    // A dword of the settings key, or -12345 when it is not stored.
    int StoredValue(const wchar_t* name) const
    {
        DWORD value = 0;
        return Stored(name, &value) ? static_cast<int>(value) : -12345;
    }
    int Shown(const std::wstring& text) const { return scenario->Shown(text); }
    // What stays on the screen of a pane where a whole repaint shows
    // something else (window coordinates): empty when the pane was painted
    // as it is.
    RECT StaleArea(HWND pane);

    std::unique_ptr<Scenario> scenario;
    std::vector<std::pair<std::wstring, DWORD>> storedFirst;
};
