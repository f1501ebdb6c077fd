// The one table of settings. Each entry names a registry value, the member of
// Settings that holds it, its default and the values a writer can store; the
// name is the member's own, so it is written once, in the member.
#pragma once
#include "settings/settings.h"

#include <cstddef>

enum class SettingKind {
    Number,         // int in [low, high]
    Unsigned,       // DWORD in [low, high]
    Count,          // int: negative keeps the default, above high reads as high
    Text,           // wchar_t[high]: a text too long for it keeps the default
    List,           // int[]: entries name0, name1, ... each in [low, high]
    AllocatedList,  // int*: likewise
};

struct SettingEntry {
    const wchar_t* name;
    size_t offset;  // of the member in Settings
    SettingKind kind;
    long long fallback;  // a list's: what an entry past its defaults holds
    long long low, high;
    const wchar_t* text;  // a Text's default
    int (*limit)();       // when set, the upper bound as the screen has it now
    const int* defaults;  // a list's first entries
    int defaultCount;
};

extern const SettingEntry SETTING_TABLE[];
extern const size_t SETTING_COUNT;

// The entry of a member; nullptr for a member the table does not hold.
const SettingEntry* FindSetting(SettingId member);

inline SettingId IdOf(const SettingEntry& entry)
{
    return SettingId(entry.offset);
}

// The highest value the entry accepts now.
long long HighestAccepted(const SettingEntry& entry);

// Where the member lives in the process's settings.
inline void* MemberOf(const SettingEntry& entry)
{
    return reinterpret_cast<char*>(&settings) + entry.offset;
}
// A list's entries: the array itself, or what the pointer points at.
int* EntriesOf(const SettingEntry& entry);

// The value name of a list's entry: name followed by the index.
void EntryName(const SettingEntry& entry, int index, wchar_t (&name)[48]);

// The value name of a field's label (field index 0..28): contact fields and
// activity fields each count from 0 under a name of their own.
void FieldLabelName(int field, wchar_t (&name)[48]);
