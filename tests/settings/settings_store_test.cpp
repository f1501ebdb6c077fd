#include "settings/field_labels.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "settings/setting_table.h"
#include "base/text.h"
#include "views/view_resources.h"
#include "tests/harness/counting_allocator.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
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
    ForEachScalar([](const SettingEntry& entry) {
        if (entry.kind == SettingKind::Text)
            CopyText(settings.activeprofilename, L"stale");
        else
            Stored(entry) = static_cast<DWORD>(entry.fallback) + 1;
    });
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
    // Whatever the arrays held before.
    for (int* list : {settings.lv1colwidth, settings.lv2colwidth, settings.contactfield, settings.lastactivityfield,
                      settings.activityfield})
        list[0] = list[1] = 77;
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

// A leaked handle holds the slot the next handle would take.
HANDLE NextHandle()
{
    HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    return probe;
}

// Making, loading, saving and freeing the settings again and again leaves no
// block allocated and no key open; a list of no columns keeps its array.
TEST_F(SettingsStore, EveryRoundLeavesNoArrayAndNoKeyBehind)
{
    PutDword(L"numactivityfield", 0);
    FreeSettingArrays();
    HANDLE next = nullptr;
    long blocks = 0;
    for (int round = 0; round < 2; ++round) {
        // The first round opens what the process keeps for good.
        if (round == 1) {
            next = NextHandle();
            blocks = liveBlocks;
        }
        CreateSettingsKey();
        ASSERT_TRUE(AllocateSettingArrays());
        ASSERT_TRUE(AllocateSettingArrays());
        LoadSettings();
        EXPECT_TRUE(SaveSetting(&Settings::fontsize));
        EXPECT_TRUE(SaveSetting(&Settings::activeprofilename));
        FreeSettingArrays();
    }
    EXPECT_EQ(blocks, liveBlocks);
    EXPECT_EQ(next, NextHandle());
}

// Arrays start-up cannot allocate are reported and stay absent until the load
// allocates them; a list whose array cannot grow keeps only what fits: the
// orders one column (none without an array), an export list nothing.
TEST_F(SettingsStore, ArraysThatCannotGrowShortenTheirLists)
{
    PutDword(L"lv1sortcolumn", 1);
    PutDword(L"lv2sortcolumn", 1);
    const struct {
        unsigned refused;   // bits 0-3: start-up's callocs; 4-7: the load's reallocations
        int counts[5];      // contact, last activity and activity columns, exported contact and activity fields
    } cases[] = {
        {0xF0, {1, 0, 1, 0, 0}}, {0xFF, {0, 0, 0, 0, 0}}, {0x10, {1, 0, 4, 5, 5}}, {0x11, {0, 0, 4, 5, 5}},
        {0x20, {2, 2, 1, 5, 5}}, {0x22, {2, 2, 0, 5, 5}}, {0x40, {2, 2, 4, 0, 5}}, {0x80, {2, 2, 4, 5, 0}},
        {0x01, {2, 2, 4, 5, 5}}, {0x04, {2, 2, 4, 5, 5}}, {0x08, {2, 2, 4, 5, 5}},
    };
    for (const auto& example : cases) {
        FreeSettingArrays();
        RefuseAllocations(example.refused);
        EXPECT_EQ((example.refused & 0xF) == 0, AllocateSettingArrays()) << example.refused;
        int** const arrays[] = {&settings.lv1columnorder, &settings.lv2columnorder, &settings.exportcontactfield,
                                &settings.exportactivityfield};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(!(example.refused >> k & 1), *arrays[k] != nullptr) << example.refused << " " << k;
            if (*arrays[k])
                **arrays[k] = 7;
        }
        LoadSettings();
        RefuseAllocations(0);
        const Settings& s = settings;
        EXPECT_EQ((std::vector<int>(example.counts, example.counts + 5)),
                  (std::vector<int>{s.numcontactfield, s.numlastactivityfield, s.numactivityfield,
                                    s.numexportcontactfield, s.numexportactivityfield}))
            << example.refused;
        // Column 1 stays chosen where there is one.
        EXPECT_EQ(example.counts[0] + example.counts[1] > 1 ? 1 : 0, s.lv1sortcolumn) << example.refused;
        EXPECT_EQ(example.counts[2] > 1 ? 1 : 0, s.lv2sortcolumn) << example.refused;
        for (int k = 0; k < 4; ++k) {
            const bool absent = (example.refused >> k & 1) && (example.refused >> (k + 4) & 1);
            EXPECT_EQ(absent, *arrays[k] == nullptr) << example.refused << " " << k;
            // An order starts with its first column; an empty export list names no field.
            if (!absent && (k < 2 || example.counts[k + 1] == 0)) {
                EXPECT_EQ(0, **arrays[k]) << example.refused << " " << k;
            }
        }
    }
}

// Values other programs or older runs left, each case in a key of its own,
// and what loading makes of them: entries from `first` on of a member.
TEST_F(SettingsStore, ListsAndLayoutsLoadWhatIsSoundAndKeepTheRest)
{
    const DWORD NEGATIVE = static_cast<DWORD>(-1);
    const struct {
        std::vector<std::pair<std::wstring, DWORD>> stored;
        std::vector<std::tuple<SettingId, int, std::vector<int>>> loaded;
    } cases[] = {
        // Some entries only: selections keep what the slot held, orders take
        // their own index, exports their defaults, whatever the count.
        {{{L"numcontactfield", 3}, {L"contactfield0", 9}, {L"contactfield1", 1}, {L"lv1columnorder0", 1},
          {L"lv1columnorder1", 0}, {L"lv2columnorder3", 3}, {L"numexportcontactfield", 5},
          {L"exportcontactfield0", 2}, {L"exportcontactfield2", 20}, {L"exportcontactfield4", 1},
          {L"numexportactivityfield", 7}, {L"exportactivityfield5", 7}, {L"exportactivityfield6", 6}},
         {{&Settings::contactfield, 0, {9, 1, 7}}, {&Settings::lv1columnorder, 0, {1, 0, 2, 3, 4}},
          {&Settings::lv2columnorder, 0, {0, 1, 2, 3}}, {&Settings::exportcontactfield, 0, {2, 3, 20, 9, 1}},
          {&Settings::numexportactivityfield, 0, {7}}, {&Settings::exportactivityfield, 0, {0, 1, 2, 3, 4, 7, 6}}}},
        // Counts clamped to the fields there are; entries naming no field absent.
        {{{L"numcontactfield", 1000}, {L"numlastactivityfield", 1000}, {L"numexportcontactfield", 0x7FFFFFFF},
          {L"contactfield0", 21}, {L"contactfield1", NEGATIVE}, {L"contactfield20", 20}, {L"lastactivityfield0", 8},
          {L"exportcontactfield0", 99}, {L"exportcontactfield20", 19}},
         {{&Settings::contactfield, 0, {0, 4}}, {&Settings::contactfield, 20, {20}},
          {&Settings::lastactivityfield, 0, {0}}, {&Settings::exportcontactfield, 0, {0}},
          {&Settings::exportcontactfield, 20, {19}}, {&Settings::lv1columnorder, 28, {28}}}},
        // Orders that are no permutation (a column twice, one outside, a negative one) become identity.
        {{{L"lv1columnorder0", 1}, {L"lv1columnorder1", 1}, {L"lv1columnorder2", 2}, {L"lv1columnorder3", 3},
          {L"lv2columnorder0", 0}, {L"lv2columnorder1", 1}, {L"lv2columnorder2", 2}, {L"lv2columnorder3", 4}},
         {{&Settings::lv1columnorder, 0, {0, 1, 2, 3}}, {&Settings::lv2columnorder, 0, {0, 1, 2, 3}}}},
        {{{L"lv1columnorder0", NEGATIVE}, {L"lv1columnorder1", 0}, {L"lv1columnorder2", 1}},
         {{&Settings::lv1columnorder, 0, {0, 1, 2, 3}}}},
        // Sort columns (four and four) and widths the list can show; splitters six lines apart at least.
        {{{L"lv1sortcolumn", 4}, {L"lv2sortcolumn", 3}, {L"lv1colwidth0", 50}, {L"lv1colwidth1", 99999},
          {L"lv1colwidth2", 0}, {L"lv1colwidth3", NEGATIVE - 6}, {L"sb1top", 16}, {L"sb2top", 22}},
         {{&Settings::lv1sortcolumn, 0, {0}}, {&Settings::lv2sortcolumn, 0, {3}},
          {&Settings::lv1colwidth, 0, {50, -1, 0, -1}}, {&Settings::sb1top, 0, {16}}, {&Settings::sb2top, 0, {22}}}},
    };
    settings.contactfield[2] = 7;
    for (const auto& example : cases) {
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(SETTINGS_ROOT, SETTINGS_SUBKEY));
        CreateSettingsKey();
        for (const auto& value : example.stored)
            PutDword(value.first.c_str(), value.second);
        LoadSettings();
        for (const auto& [member, first, expected] : example.loaded) {
            const int* entries = EntriesOf(*FindSetting(member)) + first;
            EXPECT_EQ(expected, Entries(entries, static_cast<int>(expected.size())))
                << FindSetting(member)->name << " from " << first << " after " << example.stored[0].first.c_str();
        }
    }
}

// Strings go in slots of 256 bytes, cut to 127 characters; labels under
// their fields' names, and only sound values load.
TEST_F(SettingsStore, StringsAndLabelsAreSavedInSlotsAndOnlySoundOnesLoad)
{
    EXPECT_EQ(0, RegWriteString(L"spare", std::wstring(300, L'x').c_str()));
    DWORD type = 0;
    EXPECT_EQ(256u, StoredSize(L"spare", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    wchar_t text[SETTINGS_STRING_CHARS] = {};
    EXPECT_EQ(0, RegReadString(L"spare", text));
    EXPECT_EQ(std::wstring(127, L'x'), text);
    // Reads into no room fail.
    EXPECT_EQ(1, RegReadString(L"spare", text, 0));
    EXPECT_EQ(1, RegReadString(L"spare", nullptr, 10));
    PutDword(L"number", 5);
    EXPECT_EQ(1, RegReadDword(L"number", static_cast<DWORD*>(nullptr)));

    RenameFieldLabel(5, L"Job");
    RenameFieldLabel(CONTACT_FIELD_COUNT + 7, L"A label far longer than twenty-nine characters");
    EXPECT_TRUE(SaveFieldLabel(5));
    EXPECT_TRUE(SaveFieldLabel(CONTACT_FIELD_COUNT + 7));
    EXPECT_EQ(256u, StoredSize(L"contactfieldlabel5", &type));
    EXPECT_EQ(256u, StoredSize(L"activityfieldlabel7", &type));
    ResetFieldLabels();
    const std::wstring tooLong(150, L'a'), unterminated(128, L'b');
    PutRaw(L"contactfieldlabel0", REG_SZ, tooLong.c_str(), 300);
    // A full slot without a terminator holds more than a writer stores.
    PutRaw(L"contactfieldlabel1", REG_SZ, unterminated.c_str(), 256);
    PutRaw(L"contactfieldlabel2", REG_SZ, L"Odd", 5);
    PutRaw(L"contactfieldlabel3", REG_EXPAND_SZ, L"Expand", 14);
    // A terminator missing from a short value is harmless.
    PutRaw(L"contactfieldlabel4", REG_SZ, L"Firm", 8);
    LoadSettings();
    const wchar_t* const loaded[] = {L"FileAs", L"First Name", L"Last Name", L"Title", L"Firm", L"Job"};
    for (int field = 0; field < 6; ++field)
        EXPECT_STREQ(loaded[field], ContactFieldLabel(field));
    EXPECT_STREQ(L"A label far longer than twent", ActivityFieldLabel(7));
}

// What a started program leaves in the registry, and where.
// Every key under path, and every value as its key's path and its name, in
// capitals (letter case does not tell keys apart).
void Walk(HKEY root, const std::wstring& path, std::vector<std::wstring>* keys, std::vector<std::wstring>* values)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    DWORD length = 0;
    for (DWORD i = 0; length = 256, RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0; ++i)
        values->push_back(path + L"\\" + CharUpperW(name));
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0; length = 256, RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0; ++i)
        subkeys.push_back(path.empty() ? CharUpperW(name) : path + L"\\" + CharUpperW(name));
    RegCloseKey(key);
    for (const std::wstring& subkey : subkeys) {
        keys->push_back(subkey);
        Walk(root, subkey, keys, values);
    }
}

// The user's whole registry is the one chain of keys down to the settings
// key, which holds only the column widths start-up fitted to the headers.
TEST(SettingsKey, FirstRunCreatesTheKeyAndWritesNothingElse)
{
    Scenario scenario;
    // Without the scenario's keyboard setting the sandbox starts empty.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(scenario.UserRegistry(), L"Software\\Microsoft"));
    ASSERT_NE(nullptr, scenario.Start());
    std::vector<std::wstring> keys, values;
    Walk(scenario.UserRegistry(), L"", &keys, &values);
    const std::wstring stored = L"SOFTWARE\\CLASSES\\HALVORN\\VANTARO";
    EXPECT_EQ((std::vector<std::wstring>{L"SOFTWARE", L"SOFTWARE\\CLASSES", L"SOFTWARE\\CLASSES\\HALVORN", stored}),
              keys);
    for (const std::wstring& value : values)
        EXPECT_TRUE(value.rfind(stored + L"\\LV1COLWIDTH", 0) == 0 || value.rfind(stored + L"\\LV2COLWIDTH", 0) == 0)
            << value.c_str();
    EXPECT_EQ(0, scenario.Close());
}

// Start-up loads what is stored (the pages' and lists' suites see it); the
// exit releases what was made of it.
TEST(SettingsKey, TheExitReleasesTheArraysFontsAndBrushes)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(nullptr, settings.lv1columnorder);
    ASSERT_NE(nullptr, hListFont);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(nullptr, hListFont);
    EXPECT_EQ(nullptr, hNotesBrush);
    for (const int* array : {settings.lv1columnorder, settings.lv2columnorder, settings.exportcontactfield,
                             settings.exportactivityfield})
        EXPECT_EQ(nullptr, array);
}

}  // namespace
