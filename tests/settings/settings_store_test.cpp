#include "settings/field_labels.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "views/view_resources.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every case runs against a registry of its own.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateSettingsKey();
        ASSERT_TRUE(AllocateSettingArrays());
    }
    void TearDown() override { FreeSettingArrays(); }

    static void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, KEY_WRITE, &key));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(key);
    }
    static void PutDword(const wchar_t* name, DWORD value) { PutRaw(name, REG_DWORD, &value, sizeof value); }

    static DWORD StoredSize(const wchar_t* name, DWORD* type)
    {
        HKEY key = nullptr;
        DWORD size = 0;
        if (RegOpenKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            size = 0;
        RegCloseKey(key);
        return size;
    }

    Scenario sandbox;
};

std::vector<int> Entries(const int* array, int count)
{
    return std::vector<int>(array, array + count);
}

TEST_F(SettingsStore, FirstRunGivesEveryDefault)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, KEY_READ, &key));
    DWORD values = 99;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    ASSERT_EQ(0u, values);

    LoadSettings();

    // FileAs and Company, then Last Date and Next Date; Last Date, Event,
    // Next Action, Next Date.
    EXPECT_EQ((std::vector<int>{0, 4}), Entries(contactfield, numcontactfield));
    EXPECT_EQ((std::vector<int>{0, 1}), Entries(lastactivityfield, numlastactivityfield));
    EXPECT_EQ((std::vector<int>{0, 2, 3, 1}), Entries(activityfield, numactivityfield));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Entries(lv1columnorder, 4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Entries(lv2columnorder, 4));
    for (int width : lv1colwidth)
        EXPECT_EQ(-1, width);
    for (int width : lv2colwidth)
        EXPECT_EQ(-1, width);
    EXPECT_STREQ(L"All", activeprofilename);
    EXPECT_EQ((std::vector<int>{0, 3, 4, 9, 14}), Entries(exportcontactfield, numexportcontactfield));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Entries(exportactivityfield, numexportactivityfield));
    EXPECT_STREQ(L"FileAs", ContactFieldLabel(0));
    EXPECT_STREQ(L"User Field 3", ActivityFieldLabel(7));
}

TEST_F(SettingsStore, EveryTypeRoundTrips)
{
    EXPECT_EQ(0, RegWriteDword(L"lv1colwidth3", static_cast<DWORD>(-1)));
    int width = 5;
    EXPECT_EQ(0, RegReadDword(L"lv1colwidth3", &width));
    EXPECT_EQ(-1, width);

    EXPECT_EQ(0, RegWriteDword(L"notesbkgcolor", 0x123456));
    DWORD color = 0;
    EXPECT_EQ(0, RegReadDword(L"notesbkgcolor", &color));
    EXPECT_EQ(0x123456u, color);

    // A string setting of 127 characters comes back whole, in a 256-byte slot.
    const std::wstring longest(127, L'p');
    EXPECT_EQ(0, RegWriteString(L"activeprofilename", longest.c_str()));
    DWORD type = 0;
    EXPECT_EQ(256u, StoredSize(L"activeprofilename", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    wchar_t text[SETTINGS_STRING_CHARS] = {};
    EXPECT_EQ(0, RegReadString(L"activeprofilename", text));
    EXPECT_EQ(longest, text);

    // A short one still fills the slot; a longer one is cut to 127.
    EXPECT_EQ(0, RegWriteString(L"contactfieldlabel2", L"Surname"));
    EXPECT_EQ(256u, StoredSize(L"contactfieldlabel2", &type));
    EXPECT_EQ(0, RegReadString(L"contactfieldlabel2", text));
    EXPECT_STREQ(L"Surname", text);
    EXPECT_EQ(0, RegWriteString(L"contactfieldlabel3", std::wstring(300, L'x').c_str()));
    EXPECT_EQ(0, RegReadString(L"contactfieldlabel3", text));
    EXPECT_EQ(std::wstring(127, L'x'), text);

    // A reader with a smaller buffer gets a cut, terminated copy.
    wchar_t small[5];
    EXPECT_EQ(0, RegReadString(L"contactfieldlabel2", small));
    EXPECT_STREQ(L"Surn", small);
}

TEST_F(SettingsStore, WritesLandAtOnceAndLoadsBackIntoTheVariables)
{
    RegWriteDword(L"fontsize", 14);
    RegWriteDword(L"sb1top", 60);
    RegWriteDword(L"lv2r2color", 0x00FF00);
    RegWriteDword(L"lv2colwidth7", 55);
    RegWriteString(L"activeprofilename", L"Customers");
    RegWriteString(L"contactfieldlabel3", L"Job");
    RegWriteString(L"activityfieldlabel7", L"A label far longer than twenty-nine characters");

    // Without any load in between, the registry already holds each value.
    DWORD type = 0;
    EXPECT_EQ(4u, StoredSize(L"fontsize", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);

    LoadSettings();
    EXPECT_EQ(14, fontsize);
    EXPECT_EQ(60, sb1top);
    EXPECT_EQ(0x00FF00u, lv2r2color);
    EXPECT_EQ(55, lv2colwidth[7]);
    EXPECT_EQ(-1, lv2colwidth[6]);
    EXPECT_STREQ(L"Customers", activeprofilename);
    EXPECT_STREQ(L"Job", ContactFieldLabel(3));
    EXPECT_STREQ(L"A label far longer than twent", ActivityFieldLabel(7));
    EXPECT_STREQ(L"Company", ContactFieldLabel(4));
}

TEST_F(SettingsStore, FailedReadsLeaveTheCallersValue)
{
    int number = 77;
    EXPECT_EQ(1, RegReadDword(L"nosuchvalue", &number));
    EXPECT_EQ(77, number);
    wchar_t text[16] = L"before";
    EXPECT_EQ(1, RegReadString(L"nosuchvalue", text));
    EXPECT_STREQ(L"before", text);

    // Without the key every read and write fails.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(SETTINGS_ROOT, SETTINGS_SUBKEY));
    HKEY gone = nullptr;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, KEY_READ, &gone));
    EXPECT_EQ(1, RegWriteDword(L"fontsize", 14));
    EXPECT_EQ(1, RegWriteString(L"activeprofilename", L"x"));
    EXPECT_EQ(1, RegReadDword(L"fontsize", &number));
    EXPECT_EQ(77, number);
}

TEST_F(SettingsStore, PartialColumnListsKeepWhatTheArraysHeld)
{
    PutDword(L"numcontactfield", 3);
    PutDword(L"contactfield0", 9);
    PutDword(L"contactfield1", 1);
    contactfield[2] = 7;
    // Orders stored for some positions only: the rest take their own index.
    PutDword(L"lv1columnorder0", 1);
    PutDword(L"lv1columnorder1", 0);
    PutDword(L"lv2columnorder3", 3);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{9, 1, 7}), Entries(contactfield, numcontactfield));
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 4}), Entries(lv1columnorder, numcontactfield + numlastactivityfield));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Entries(lv2columnorder, numactivityfield));
}

TEST_F(SettingsStore, ExportSelectionsFillGapsWithDefaults)
{
    // Count 5 with entries 1 and 3 missing.
    PutDword(L"numexportcontactfield", 5);
    PutDword(L"exportcontactfield0", 2);
    PutDword(L"exportcontactfield2", 20);
    PutDword(L"exportcontactfield4", 1);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{2, 3, 20, 9, 1}), Entries(exportcontactfield, numexportcontactfield));

    // Another count: stored entries as given, one spare entry behind them.
    PutDword(L"numexportactivityfield", 7);
    PutDword(L"exportactivityfield5", 7);
    PutDword(L"exportactivityfield6", 6);
    LoadSettings();
    EXPECT_EQ(7, numexportactivityfield);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 7, 6}), Entries(exportactivityfield, 7));

    PutDword(L"numexportactivityfield", 0);
    LoadSettings();
    EXPECT_EQ(0, numexportactivityfield);
}

TEST_F(SettingsStore, CountsAreClampedAndStrayEntriesAbsent)
{
    PutDword(L"numcontactfield", 1000);
    PutDword(L"numlastactivityfield", 1000);
    PutDword(L"numactivityfield", static_cast<DWORD>(-5));
    PutDword(L"numexportcontactfield", 0x7FFFFFFF);
    PutDword(L"numexportactivityfield", 9);
    PutDword(L"contactfield0", 21);
    PutDword(L"contactfield1", static_cast<DWORD>(-1));
    PutDword(L"contactfield20", 20);
    PutDword(L"lastactivityfield0", 8);
    PutDword(L"exportcontactfield0", 99);
    PutDword(L"exportcontactfield20", 19);
    LoadSettings();
    EXPECT_EQ(CONTACT_COLUMN_SLOTS, numcontactfield);
    EXPECT_EQ(LAST_ACTIVITY_COLUMN_SLOTS, numlastactivityfield);
    EXPECT_EQ(4, numactivityfield);
    EXPECT_EQ(21, numexportcontactfield);
    EXPECT_EQ(8, numexportactivityfield);
    EXPECT_EQ(0, contactfield[0]);
    EXPECT_EQ(4, contactfield[1]);
    EXPECT_EQ(20, contactfield[20]);
    EXPECT_EQ(0, lastactivityfield[0]);
    EXPECT_EQ(0, exportcontactfield[0]);
    EXPECT_EQ(19, exportcontactfield[20]);
    // Every one of the 29 orders is there to read.
    EXPECT_EQ(28, lv1columnorder[28]);
}

TEST_F(SettingsStore, ColumnOrdersThatAreNoPermutationBecomeIdentity)
{
    const std::vector<int> identity4 = {0, 1, 2, 3};
    const DWORD duplicated[] = {1, 1, 2, 3};
    const DWORD outside[] = {0, 1, 2, 4};
    const DWORD negative[] = {static_cast<DWORD>(-1), 0, 1, 2};
    for (const DWORD* order : {duplicated, outside, negative}) {
        for (int i = 0; i < 4; ++i) {
            PutDword((L"lv1columnorder" + std::to_wstring(i)).c_str(), order[i]);
            PutDword((L"lv2columnorder" + std::to_wstring(i)).c_str(), order[i]);
        }
        LoadSettings();
        EXPECT_EQ(identity4, Entries(lv1columnorder, 4)) << order[0] << order[1] << order[2] << order[3];
        EXPECT_EQ(identity4, Entries(lv2columnorder, 4));
    }
    const DWORD swapped[] = {3, 2, 1, 0};
    for (int i = 0; i < 4; ++i)
        PutDword((L"lv2columnorder" + std::to_wstring(i)).c_str(), swapped[i]);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{3, 2, 1, 0}), Entries(lv2columnorder, 4));
}

TEST_F(SettingsStore, ValuesOfTheWrongTypeOrLengthAreUnreadable)
{
    PutRaw(L"fontsize", REG_SZ, L"14", 6);
    const BYTE two[] = {14, 0};
    PutRaw(L"notefontsize", REG_DWORD, two, 2);
    const BYTE four[] = {14, 0, 0, 0};
    PutRaw(L"popupfontsize", REG_BINARY, four, 4);
    const ULONGLONG wide = 14;
    PutRaw(L"sb1top", REG_QWORD, &wide, sizeof wide);
    DWORD number = 3;
    PutRaw(L"activeprofilename", REG_DWORD, &number, sizeof number);
    const std::wstring tooLong(150, L'a');
    PutRaw(L"contactfieldlabel0", REG_SZ, tooLong.c_str(), 300);
    // A full slot without a terminator holds more than a writer stores.
    const std::wstring unterminated(128, L'b');
    PutRaw(L"contactfieldlabel1", REG_SZ, unterminated.c_str(), 256);
    PutRaw(L"contactfieldlabel2", REG_SZ, L"Odd", 5);
    PutRaw(L"contactfieldlabel3", REG_EXPAND_SZ, L"Expand", 14);
    // A terminator missing from a short value is harmless.
    PutRaw(L"contactfieldlabel4", REG_SZ, L"Firm", 8);

    LoadSettings();
    EXPECT_EQ(12, fontsize);
    EXPECT_EQ(12, notefontsize);
    EXPECT_EQ(12, popupfontsize);
    EXPECT_EQ(125, sb1top);
    EXPECT_STREQ(L"All", activeprofilename);
    EXPECT_STREQ(L"FileAs", ContactFieldLabel(0));
    EXPECT_STREQ(L"First Name", ContactFieldLabel(1));
    EXPECT_STREQ(L"Last Name", ContactFieldLabel(2));
    EXPECT_STREQ(L"Title", ContactFieldLabel(3));
    EXPECT_STREQ(L"Firm", ContactFieldLabel(4));
}

TEST_F(SettingsStore, ValuesNoWriterStoresFallBackToDefaults)
{
    PutDword(L"fontsize", 0);
    PutDword(L"notefontsize", 5000);
    PutDword(L"popupfontsize", 15);
    PutDword(L"sb1top", 100000);
    PutDword(L"lv1r1color", 0xFF000000);
    PutDword(L"lv1r2color", 0x00ABCDEF);
    PutDword(L"lv1lines", 9);
    PutDword(L"lv2lines", 3);
    PutDword(L"lv1sortcolumn", 50);
    PutDword(L"lv1sortdirection", 5);
    PutDword(L"lv2sortcolumn", 3);
    PutDword(L"lv1colwidth0", static_cast<DWORD>(-7));
    PutDword(L"lv1colwidth1", 99999);
    PutDword(L"lv1colwidth2", 0);
    PutDword(L"remindindex", 14);
    PutDword(L"lastcontactfindfield", 29);
    PutDword(L"lastactivityfindfield", 7);
    PutDword(L"pastdueflag", 2);
    PutDword(L"piminterface", 1);
    LoadSettings();
    EXPECT_EQ(12, fontsize);
    EXPECT_EQ(12, notefontsize);
    EXPECT_EQ(15, popupfontsize);
    EXPECT_EQ(125, sb1top);
    EXPECT_EQ(220, sb2top);
    EXPECT_EQ(0xC4FFC4u, lv1r1color);
    EXPECT_EQ(0x00ABCDEFu, lv1r2color);
    EXPECT_EQ(1, lv1lines);
    EXPECT_EQ(3, lv2lines);
    EXPECT_EQ(0, lv1sortcolumn);
    EXPECT_EQ(1, lv1sortdirection);
    EXPECT_EQ(3, lv2sortcolumn);
    EXPECT_EQ(-1, lv1colwidth[0]);
    EXPECT_EQ(-1, lv1colwidth[1]);
    EXPECT_EQ(0, lv1colwidth[2]);
    EXPECT_EQ(0, remindindex);
    EXPECT_EQ(0, lastcontactfindfield);
    EXPECT_EQ(7, lastactivityfindfield);
    EXPECT_EQ(0, pastdueflag);
    EXPECT_EQ(1, piminterface);

    // Splitters above the screen or crossed over are no layout either.
    PutDword(L"sb1top", static_cast<DWORD>(-40));
    LoadSettings();
    EXPECT_EQ(125, sb1top);
    PutDword(L"sb1top", 200);
    PutDword(L"sb2top", 150);
    LoadSettings();
    EXPECT_EQ(125, sb1top);
    EXPECT_EQ(220, sb2top);
    PutDword(L"sb1top", 16);
    PutDword(L"sb2top", 22);
    LoadSettings();
    EXPECT_EQ(16, sb1top);
    EXPECT_EQ(22, sb2top);
}

// What a started program leaves in the registry, and where.
class SettingsKey : public ::testing::Test {};

struct KeyCounts {
    DWORD subkeys = 0, values = 0;
};

KeyCounts Count(HKEY root, const wchar_t* path)
{
    KeyCounts counts;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {99, 99};
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &counts.subkeys, nullptr, nullptr, &counts.values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return counts;
}

TEST_F(SettingsKey, FirstRunCreatesTheKeyAndWritesNothingElse)
{
    Scenario scenario;
    // Without the scenario's keyboard setting the sandbox starts empty.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(scenario.UserRegistry(), L"Software\\Microsoft"));
    ASSERT_NE(nullptr, scenario.Start());
    // The whole user sandbox is the one chain of keys down to the settings key.
    const wchar_t* chain[] = {L"", L"Software", L"Software\\Classes", L"Software\\Classes\\Halvorn"};
    for (const wchar_t* path : chain) {
        KeyCounts counts = Count(scenario.UserRegistry(), path);
        EXPECT_EQ(1u, counts.subkeys) << "under '" << std::string(path, path + wcslen(path)) << "'";
        EXPECT_EQ(0u, counts.values);
    }
    KeyCounts settings = Count(scenario.UserRegistry(), L"Software\\Classes\\Halvorn\\Vantaro");
    EXPECT_EQ(0u, settings.subkeys);
    // Only the column widths that start-up fitted to the headers.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(scenario.UserRegistry(), L"Software\\Classes\\Halvorn\\Vantaro", 0,
                                           KEY_READ, &key));
    for (DWORD i = 0; i < settings.values; ++i) {
        wchar_t name[64] = L"";
        DWORD length = 64;
        ASSERT_EQ(ERROR_SUCCESS, RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr));
        const std::wstring value(name);
        EXPECT_TRUE(value.rfind(L"lv1colwidth", 0) == 0 || value.rfind(L"lv2colwidth", 0) == 0)
            << std::string(value.begin(), value.end());
    }
    RegCloseKey(key);
    EXPECT_EQ(0, scenario.Close());
}

TEST_F(SettingsKey, StartUpLoadsTheStoredSettingsAndMakesBrushesAndFonts)
{
    Scenario scenario;
    CreateSettingsKey();
    RegWriteDword(L"numactivityfield", 2);
    RegWriteDword(L"lv2columnorder0", 1);
    RegWriteDword(L"lv2columnorder1", 0);
    RegWriteDword(L"fontsize", 14);
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(14, fontsize);
    EXPECT_EQ((std::vector<int>{1, 0}), Entries(lv2columnorder, numactivityfield));

    LOGFONTW font = {};
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(hListFont, sizeof font, &font));
    EXPECT_EQ(14, font.lfHeight);
    EXPECT_EQ(400, font.lfWeight);
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(hNotesFont, sizeof font, &font));
    EXPECT_EQ(12, font.lfHeight);
    LOGBRUSH brush = {};
    ASSERT_EQ(static_cast<int>(sizeof brush), GetObjectW(hLv1Row2Brush, sizeof brush, &brush));
    EXPECT_EQ(lv1r2color, brush.lbColor);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(nullptr, hListFont);
    EXPECT_EQ(nullptr, hNotesBrush);
    // The arrays are released with the main window.
    EXPECT_EQ(nullptr, lv1columnorder);
    EXPECT_EQ(nullptr, exportactivityfield);
}

}  // namespace
