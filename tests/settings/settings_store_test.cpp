#include "settings/field_labels.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "settings/setting_table.h"
#include "base/text.h"
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

// Every number setting is four bytes: a dword as stored.
DWORD& Stored(const SettingEntry& entry)
{
    return *static_cast<DWORD*>(MemberOf(entry));
}

// Calls visit for every entry of the table that is no list.
template <class Visit>
void ForEachScalar(Visit visit)
{
    for (size_t i = 0; i < SETTING_COUNT; ++i)
        if (SETTING_TABLE[i].kind != SettingKind::List && SETTING_TABLE[i].kind != SettingKind::AllocatedList)
            visit(SETTING_TABLE[i]);
}

// Loads, then expects every scalar to hold what expected gives for it.
template <class Expected>
void LoadAndExpect(const char* state, Expected expected)
{
    LoadSettings();
    ForEachScalar([&](const SettingEntry& entry) {
        if (entry.kind == SettingKind::Text)
            EXPECT_STREQ(entry.text, settings.activeprofilename) << state;
        else
            EXPECT_EQ(static_cast<DWORD>(expected(entry)), Stored(entry)) << entry.name << " " << state;
    });
}

TEST_F(SettingsStore, EveryScalarTakesWhatAWriterCouldStoreAndOtherwiseItsDefault)
{
    const auto fallback = [](const SettingEntry& entry) { return entry.fallback; };
    LoadAndExpect("missing", fallback);
    // Each shape a writer never stores, in turn: a text, two bytes, a binary
    // value and eight bytes (for the text setting, a dword).
    const ULONGLONG one = 1;
    const struct { DWORD type, size; } shapes[] = {{REG_SZ, 4}, {REG_DWORD, 2}, {REG_BINARY, 4}, {REG_QWORD, 8}};
    int turn = 0;
    ForEachScalar([&](const SettingEntry& entry) {
        const auto& shape = shapes[turn++ % 4];
        if (entry.kind == SettingKind::Text)
            PutDword(entry.name, 1);
        else
            PutRaw(entry.name, shape.type, shape.type == REG_SZ ? static_cast<const void*>(L"1") : &one, shape.size);
    });
    LoadAndExpect("of another shape", fallback);

    // One past either bound (a count above its array reads as its size), then
    // the bounds themselves saved through the table. Splitters both at 0 are
    // crossed and at the highest number off the screen; sort columns at
    // either end name no column: those keep their defaults.
    const auto laidOut = [](const SettingEntry& entry) {
        return entry.limit || &entry == FindSetting(&Settings::lv1sortcolumn) ||
               &entry == FindSetting(&Settings::lv2sortcolumn);
    };
    const std::wstring tooLong(PROFILE_NAME_CAPACITY, L'n');
    for (long long step : {-1, 1}) {
        ForEachScalar([&](const SettingEntry& entry) {
            const long long outside = (step < 0 ? entry.low : HighestAccepted(entry)) + step;
            const bool fits = entry.kind == SettingKind::Unsigned ? outside >= 0 && outside <= 0xFFFFFFFF
                                                                  : outside >= INT_MIN && outside <= INT_MAX;
            if (entry.kind == SettingKind::Text)
                PutRaw(entry.name, REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() * 2 + 2));
            else
                PutDword(entry.name, static_cast<DWORD>(fits ? outside : entry.fallback));
        });
        LoadAndExpect("outside", [&](const SettingEntry& entry) {
            return entry.kind == SettingKind::Count && step > 0 ? entry.high : entry.fallback;
        });
        ForEachScalar([&](const SettingEntry& entry) {
            if (entry.kind != SettingKind::Text)
                Stored(entry) = static_cast<DWORD>(step < 0 ? entry.low : entry.high);
            EXPECT_TRUE(SaveSetting(IdOf(entry))) << entry.name;
        });
        LoadAndExpect("saved", [&](const SettingEntry& entry) {
            return laidOut(entry) ? entry.fallback : step < 0 ? entry.low : entry.high;
        });
    }
}

// Each list saved in reverse order of its positions loads back so; on a first
// run the lists hold their defaults.
TEST_F(SettingsStore, EveryListSavedEntryByEntryLoadsBack)
{
    LoadSettings();
    const Settings& s = settings;
    const struct {
        SettingId list;
        int count;
    } lists[] = {
        {&Settings::lv1colwidth, LV1_WIDTH_SLOTS},
        {&Settings::lv2colwidth, LV2_WIDTH_SLOTS},
        {&Settings::contactfield, s.numcontactfield},
        {&Settings::lastactivityfield, s.numlastactivityfield},
        {&Settings::activityfield, s.numactivityfield},
        {&Settings::lv1columnorder, s.numcontactfield + s.numlastactivityfield},
        {&Settings::lv2columnorder, s.numactivityfield},
        {&Settings::exportcontactfield, s.numexportcontactfield},
        {&Settings::exportactivityfield, s.numexportactivityfield},
    };
    for (const auto& list : lists) {
        const SettingEntry& entry = *FindSetting(list.list);
        for (int i = 0; i < list.count; ++i) {
            // An order's default is its own position.
            const long long fallback = entry.low == INT_MIN ? i : entry.fallback;
            EXPECT_EQ(i < entry.defaultCount ? entry.defaults[i] : fallback, EntriesOf(entry)[i]) << entry.name << i;
            EntriesOf(entry)[i] = list.count - 1 - i;
        }
        EXPECT_TRUE(SaveSettingEntries(list.list, 0, list.count));
    }
    LoadSettings();
    for (const auto& list : lists)
        for (int i = 0; i < list.count; ++i)
            EXPECT_EQ(list.count - 1 - i, EntriesOf(*FindSetting(list.list))[i]) << FindSetting(list.list)->name << i;
}

// Defaults and bounds users meet on a first run and among the pages' choices;
// the first-run columns are the lists' and export dialog's suites' to check.
TEST_F(SettingsStore, TheTableKeepsTheStoredContract)
{
    const struct {
        SettingId member;
        const wchar_t* name;
        long long fallback, low, high;
    } facts[] = {
        {&Settings::fontsize, L"fontsize", 12, 10, 16},
        {&Settings::remindindex, L"remindindex", 0, 0, 13},
        {&Settings::lastcontactfindfield, L"lastcontactfindfield", 0, 0, 28},
        {&Settings::notesbkgcolor, L"notesbkgcolor", 0xAEFFFF, 0, 0xFFFFFF},
        {&Settings::noteiconflag, L"noteiconflag", 1, 0, 1},
        {&Settings::numactivityfield, L"numactivityfield", 4, 0, 8},
    };
    for (const auto& fact : facts) {
        const SettingEntry& entry = *FindSetting(fact.member);
        EXPECT_STREQ(fact.name, entry.name);
        EXPECT_EQ(fact.fallback, entry.fallback) << fact.name;
        EXPECT_EQ(fact.low, entry.low) << fact.name;
        EXPECT_EQ(fact.high, entry.high) << fact.name;
    }
}

TEST_F(SettingsStore, StringsAreWrittenInSlotsOf256BytesAndCutTo127Characters)
{
    EXPECT_EQ(0, RegWriteString(L"contactfieldlabel3", std::wstring(300, L'x').c_str()));
    DWORD type = 0;
    EXPECT_EQ(256u, StoredSize(L"contactfieldlabel3", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    wchar_t text[SETTINGS_STRING_CHARS] = {};
    EXPECT_EQ(0, RegReadString(L"contactfieldlabel3", text));
    EXPECT_EQ(std::wstring(127, L'x'), text);
}

// A read that fails leaves the destination as it was.
TEST_F(SettingsStore, WithoutTheKeyEveryReadAndWriteFails)
{
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(SETTINGS_ROOT, SETTINGS_SUBKEY));
    EXPECT_FALSE(SaveSetting(&Settings::fontsize));
    EXPECT_FALSE(SaveSetting(&Settings::activeprofilename));
    int number = 77;
    EXPECT_EQ(1, RegReadDword(L"fontsize", &number));
    EXPECT_EQ(77, number);
}

TEST_F(SettingsStore, PartialColumnListsKeepWhatTheArraysHeld)
{
    PutDword(L"numcontactfield", 3);
    PutDword(L"contactfield0", 9);
    PutDword(L"contactfield1", 1);
    settings.contactfield[2] = 7;
    // Orders stored for some positions only: the rest take their own index.
    PutDword(L"lv1columnorder0", 1);
    PutDword(L"lv1columnorder1", 0);
    PutDword(L"lv2columnorder3", 3);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{9, 1, 7}), Entries(settings.contactfield, settings.numcontactfield));
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 4}), Entries(settings.lv1columnorder, 5));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Entries(settings.lv2columnorder, settings.numactivityfield));
}

TEST_F(SettingsStore, ExportSelectionsFillGapsWithDefaults)
{
    // Count 5 with entries 1 and 3 missing.
    PutDword(L"numexportcontactfield", 5);
    PutDword(L"exportcontactfield0", 2);
    PutDword(L"exportcontactfield2", 20);
    PutDword(L"exportcontactfield4", 1);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{2, 3, 20, 9, 1}), Entries(settings.exportcontactfield, settings.numexportcontactfield));

    // Another count: stored entries as given, one spare entry behind them.
    PutDword(L"numexportactivityfield", 7);
    PutDword(L"exportactivityfield5", 7);
    PutDword(L"exportactivityfield6", 6);
    LoadSettings();
    EXPECT_EQ(7, settings.numexportactivityfield);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 7, 6}), Entries(settings.exportactivityfield, 7));
}

TEST_F(SettingsStore, EntriesNamingNoFieldAreAbsentUpToTheClampedCounts)
{
    PutDword(L"numcontactfield", 1000);
    PutDword(L"numlastactivityfield", 1000);
    PutDword(L"numexportcontactfield", 0x7FFFFFFF);
    PutDword(L"contactfield0", 21);
    PutDword(L"contactfield1", static_cast<DWORD>(-1));
    PutDword(L"contactfield20", 20);
    PutDword(L"lastactivityfield0", 8);
    PutDword(L"exportcontactfield0", 99);
    PutDword(L"exportcontactfield20", 19);
    LoadSettings();
    EXPECT_EQ((std::vector<int>{0, 4}), Entries(settings.contactfield, 2));
    EXPECT_EQ(20, settings.contactfield[20]);
    EXPECT_EQ(0, settings.lastactivityfield[0]);
    EXPECT_EQ(0, settings.exportcontactfield[0]);
    EXPECT_EQ(19, settings.exportcontactfield[20]);
    // Every one of the 29 orders is there to read.
    EXPECT_EQ(28, settings.lv1columnorder[28]);
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
        EXPECT_EQ(identity4, Entries(settings.lv1columnorder, 4)) << order[0] << order[1] << order[2] << order[3];
        EXPECT_EQ(identity4, Entries(settings.lv2columnorder, 4));
    }
}

TEST_F(SettingsStore, LabelsAreSavedUnderTheirFieldsNamesAndOnlySoundOnesLoad)
{
    RenameFieldLabel(5, L"Job");
    RenameFieldLabel(CONTACT_FIELD_COUNT + 7, L"A label far longer than twenty-nine characters");
    EXPECT_TRUE(SaveFieldLabel(5));
    EXPECT_TRUE(SaveFieldLabel(CONTACT_FIELD_COUNT + 7));
    DWORD type = 0;
    EXPECT_EQ(256u, StoredSize(L"contactfieldlabel5", &type));
    EXPECT_EQ(256u, StoredSize(L"activityfieldlabel7", &type));
    ResetFieldLabels();
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
    EXPECT_STREQ(L"FileAs", ContactFieldLabel(0));
    EXPECT_STREQ(L"First Name", ContactFieldLabel(1));
    EXPECT_STREQ(L"Last Name", ContactFieldLabel(2));
    EXPECT_STREQ(L"Title", ContactFieldLabel(3));
    EXPECT_STREQ(L"Firm", ContactFieldLabel(4));
    EXPECT_STREQ(L"Job", ContactFieldLabel(5));
    EXPECT_STREQ(L"A label far longer than twent", ActivityFieldLabel(7));
}

TEST_F(SettingsStore, SortColumnsWidthsAndSplittersNeedALayoutTheyFit)
{
    PutDword(L"lv1sortcolumn", 50);
    PutDword(L"lv2sortcolumn", 3);
    PutDword(L"lv1colwidth0", static_cast<DWORD>(-7));
    PutDword(L"lv1colwidth1", 99999);
    PutDword(L"lv1colwidth2", 0);
    LoadSettings();
    EXPECT_EQ(0, settings.lv1sortcolumn);
    EXPECT_EQ(3, settings.lv2sortcolumn);
    EXPECT_EQ((std::vector<int>{-1, -1, 0}), Entries(settings.lv1colwidth, 3));
    // Six lines apart is the closest the splitters come.
    PutDword(L"sb1top", 16);
    PutDword(L"sb2top", 22);
    LoadSettings();
    EXPECT_EQ(16, settings.sb1top);
    EXPECT_EQ(22, settings.sb2top);
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
        EXPECT_EQ(1u, counts.subkeys) << "under '" << path << "'";
        EXPECT_EQ(0u, counts.values);
    }
    KeyCounts stored = Count(scenario.UserRegistry(), L"Software\\Classes\\Halvorn\\Vantaro");
    EXPECT_EQ(0u, stored.subkeys);
    // Only the column widths that start-up fitted to the headers.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(scenario.UserRegistry(), L"Software\\Classes\\Halvorn\\Vantaro", 0,
                                           KEY_READ, &key));
    for (DWORD i = 0; i < stored.values; ++i) {
        wchar_t name[64] = L"";
        DWORD length = 64;
        ASSERT_EQ(ERROR_SUCCESS, RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr));
        EXPECT_TRUE(wcsncmp(name, L"lv1colwidth", 11) == 0 || wcsncmp(name, L"lv2colwidth", 11) == 0) << name;
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
    EXPECT_EQ(14, settings.fontsize);
    EXPECT_EQ((std::vector<int>{1, 0}), Entries(settings.lv2columnorder, settings.numactivityfield));

    LOGFONTW font = {};
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(hListFont, sizeof font, &font));
    EXPECT_EQ(14, font.lfHeight);
    EXPECT_EQ(400, font.lfWeight);
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(hNotesFont, sizeof font, &font));
    EXPECT_EQ(12, font.lfHeight);
    LOGBRUSH brush = {};
    ASSERT_EQ(static_cast<int>(sizeof brush), GetObjectW(hLv1Row2Brush, sizeof brush, &brush));
    EXPECT_EQ(settings.lv1r2color, brush.lbColor);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(nullptr, hListFont);
    EXPECT_EQ(nullptr, hNotesBrush);
    // The arrays are released with the main window.
    EXPECT_EQ(nullptr, settings.lv1columnorder);
    EXPECT_EQ(nullptr, settings.exportactivityfield);
}

}  // namespace
