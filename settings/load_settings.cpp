#include "settings/field_labels.h"
#include "settings/registry_values.h"
#include "settings/setting_table.h"

#include "base/text.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool Accepts(const SettingEntry& entry, long long value)
{
    return value >= entry.low && value <= HighestAccepted(entry);
}

// A value the registry does not hold, of another shape, or outside what a
// writer can store leaves the default in place.
void LoadScalar(const SettingEntry& entry)
{
    if (entry.kind == SettingKind::Text) {
        // A text too long for the member names nothing: cut, it could name another.
        wchar_t* text = static_cast<wchar_t*>(MemberOf(entry));
        const size_t capacity = static_cast<size_t>(entry.high);
        wchar_t stored[SETTINGS_STRING_CHARS] = L"";
        if (RegReadString(entry.name, stored) != 0 || !CopyText(text, capacity, stored))
            CopyText(text, capacity, entry.text);
        return;
    }
    // Numbers of either sign are four bytes, as the registry keeps them.
    DWORD& number = *static_cast<DWORD*>(MemberOf(entry));
    number = static_cast<DWORD>(entry.fallback);
    DWORD stored = 0;
    if (RegReadDword(entry.name, &stored) != 0)
        return;
    const long long value = entry.kind == SettingKind::Unsigned ? static_cast<long long>(stored)
                                                                : static_cast<long long>(static_cast<int>(stored));
    // A count beyond its array is clamped; a negative one is no count.
    if (entry.kind == SettingKind::Count && value > entry.high)
        number = static_cast<DWORD>(entry.high);
    else if (Accepts(entry, value))
        number = stored;
}

// Reads entry index of a list into slot when it is acceptable; returns
// whether it did.
bool LoadEntry(const SettingEntry& list, int index, int* slot)
{
    wchar_t name[48];
    EntryName(list, index, name);
    int stored = 0;
    if (RegReadDword(name, &stored) != 0 || !Accepts(list, stored))
        return false;
    *slot = stored;
    return true;
}

const SettingEntry& Entry(SettingId member)
{
    return *FindSetting(member);
}

// Every slot of a list with no defaults of its own.
template <size_t N>
void LoadEverySlot(int (Settings::*member)[N])
{
    const SettingEntry& list = Entry(member);
    for (size_t i = 0; i < N; ++i) {
        (settings.*member)[i] = static_cast<int>(list.fallback);
        LoadEntry(list, static_cast<int>(i), &(settings.*member)[i]);
    }
}

// The defaults, then count stored entries; an entry naming no field is absent
// and its slot keeps what it held.
void LoadSelection(SettingId member, int count)
{
    const SettingEntry& list = Entry(member);
    int* slots = EntriesOf(list);
    for (int i = 0; i < list.defaultCount; ++i)
        slots[i] = list.defaults[i];
    for (int i = 0; i < count; ++i)
        LoadEntry(list, i, &slots[i]);
}

void LoadFieldLabels()
{
    ResetFieldLabels();
    wchar_t text[SETTINGS_STRING_CHARS];
    for (int field = 0; field < FIELD_COUNT; ++field) {
        wchar_t name[48];
        FieldLabelName(field, name);
        if (RegReadString(name, text) == 0)
            RenameFieldLabel(field, text);
    }
}

bool Resize(int** array, int entries)
{
    void* grown = realloc(*array, static_cast<size_t>(entries > 0 ? entries : 1) * sizeof(int));
    if (!grown)
        return false;
    *array = static_cast<int*>(grown);
    return true;
}

// Reads a column order of count entries; anything but a permutation of
// 0..count-1 would show a column twice or not at all, so it becomes identity.
void LoadColumnOrder(SettingId member, int count)
{
    const SettingEntry& list = Entry(member);
    int* order = EntriesOf(list);
    bool seen[LV1_WIDTH_SLOTS] = {};
    bool permutation = true;
    for (int i = 0; i < count; ++i) {
        order[i] = i;
        LoadEntry(list, i, &order[i]);
        if (order[i] < 0 || order[i] >= count || seen[order[i]])
            permutation = false;
        else
            seen[order[i]] = true;
    }
    if (!permutation) {
        for (int i = 0; i < count; ++i)
            order[i] = i;
    }
}

void LoadColumnOrders()
{
    Settings& s = settings;
    if (!Resize(&s.lv1columnorder, s.numcontactfield + s.numlastactivityfield)) {
        // Without room for the order the list can only show what fits.
        s.numlastactivityfield = 0;
        if (s.numcontactfield > 1)
            s.numcontactfield = s.lv1columnorder ? 1 : 0;
    }
    if (s.lv1columnorder)
        LoadColumnOrder(&Settings::lv1columnorder, s.numcontactfield + s.numlastactivityfield);

    if (!Resize(&s.lv2columnorder, s.numactivityfield) && s.numactivityfield > 1)
        s.numactivityfield = s.lv2columnorder ? 1 : 0;
    if (s.lv2columnorder)
        LoadColumnOrder(&Settings::lv2columnorder, s.numactivityfield);

    const int lv1Columns = s.numcontactfield + s.numlastactivityfield;
    if (s.lv1sortcolumn < 0 || s.lv1sortcolumn >= lv1Columns)
        s.lv1sortcolumn = 0;
    if (s.lv2sortcolumn < 0 || s.lv2sortcolumn >= s.numactivityfield)
        s.lv2sortcolumn = 0;
}

// One export list of count entries and a spare one. Entries the registry does
// not hold keep the defaults, whatever the count.
void LoadExportFields(int Settings::*countMember, int* Settings::*fieldsMember)
{
    const SettingEntry& list = Entry(fieldsMember);
    int& count = settings.*countMember;
    int*& fields = settings.*fieldsMember;
    if (!Resize(&fields, count + 1)) {
        // The array keeps the one entry it had (if any): export nothing.
        count = 0;
        if (fields)
            fields[0] = 0;
        return;
    }
    for (int i = 0; i <= count; ++i)
        fields[i] = i < list.defaultCount ? list.defaults[i] : static_cast<int>(list.fallback);
    for (int i = 0; i < count; ++i)
        LoadEntry(list, i, &fields[i]);
}

}  // namespace

void LoadSettings()
{
    for (size_t i = 0; i < SETTING_COUNT; ++i)
        if (SETTING_TABLE[i].kind != SettingKind::List && SETTING_TABLE[i].kind != SettingKind::AllocatedList)
            LoadScalar(SETTING_TABLE[i]);
    // Crossed splitters are no layout either.
    if (settings.sb2top < settings.sb1top + 6) {
        settings.sb1top = static_cast<int>(Entry(&Settings::sb1top).fallback);
        settings.sb2top = static_cast<int>(Entry(&Settings::sb2top).fallback);
    }

    LoadEverySlot(&Settings::lv1colwidth);
    LoadEverySlot(&Settings::lv2colwidth);
    LoadFieldLabels();
    LoadSelection(&Settings::contactfield, settings.numcontactfield);
    LoadSelection(&Settings::lastactivityfield, settings.numlastactivityfield);
    LoadSelection(&Settings::activityfield, settings.numactivityfield);
    LoadColumnOrders();
    LoadExportFields(&Settings::numexportcontactfield, &Settings::exportcontactfield);
    LoadExportFields(&Settings::numexportactivityfield, &Settings::exportactivityfield);
}
