// A running main window over a device store and a volume of the test's own,
// with helpers that add contacts and activities and read what the lists show.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <commctrl.h>

#include "platform/cedb/windbase.h"
#include "tests/harness/scenario.h"
#include "base/app_handles.h"

// Whole days of today's local date as a variant time.
double TodayDate();
// A child window's top in the main window's client coordinates.
int ClientTop(HWND window);
// A column's place in its list's header.
RECT HeaderItem(HWND list, int column);

class ViewsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Settings to store before the start; applied by Start.
    void Setting(const wchar_t* name, DWORD value) { storedFirst.emplace_back(name, value); }
    HWND Start();
    // Shows or hides the find bar.
    void Find();

    CEOID AddContact(const std::wstring& fileAs, const std::wstring& company = L"",
                     const std::wstring& categories = L"");
    CEOID AddActivity(CEOID contact, const std::wstring& event, double date, double nextDate = 0, int done = 0,
                      const std::wstring& notes = L"");
    // What the contact source does after a change: the contacts refresh.
    void ContactsChanged();

    HWND Contacts() const { return GetDlgItem(scenario->MainWindow(), ID_CONTACTS_LIST); }
    HWND Activities() const { return GetDlgItem(scenario->MainWindow(), ID_ACTIVITY_LIST); }
    HWND Notes() const { return GetDlgItem(scenario->MainWindow(), ID_NOTES_PANE); }
    std::wstring Cell(HWND list, int row, int column) const;
    int Rows(HWND list) const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    int Mark(HWND list) const { return static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0)); }
    void TapRow(HWND list, int row);
    void TapHeader(HWND list, int column);
    std::wstring NotesText() const { return WindowText(Notes()); }
    // A dword of the settings key, or -12345 when it is not stored.
    int StoredValue(const wchar_t* name) const;
    int Shown(const std::wstring& text) const { return scenario->Shown(text); }
    // What stays on the screen of a pane where a whole repaint shows
    // something else (window coordinates): empty when the pane was painted
    // as it is.
    RECT StaleArea(HWND pane);

    std::unique_ptr<Scenario> scenario;
    std::vector<std::pair<std::wstring, DWORD>> storedFirst;
};
