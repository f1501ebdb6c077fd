#include "settings/field_labels.h"
#include "settings/registry_values.h"
#include "settings/setting_table.h"

#include <cwchar>

bool SaveSetting(SettingId member)
{
    const SettingEntry* entry = FindSetting(member);
    if (!entry)
        return false;
    const void* value = MemberOf(*entry);
    if (entry->kind == SettingKind::Text)
        return RegWriteString(entry->name, static_cast<const wchar_t*>(value)) == 0;
    if (entry->kind == SettingKind::List || entry->kind == SettingKind::AllocatedList)
        return false;
    // Numbers of either sign are written as the four bytes they are.
    return RegWriteDword(entry->name, *static_cast<const DWORD*>(value)) == 0;
}

bool SaveSettingEntries(SettingId list, int first, int count)
{
    const SettingEntry* entry = FindSetting(list);
    if (!entry || (entry->kind != SettingKind::List && entry->kind != SettingKind::AllocatedList))
        return false;
    const int* entries = EntriesOf(*entry);
    bool written = entries != nullptr;
    for (int i = first; entries && i < first + count; ++i) {
        wchar_t name[48];
        EntryName(*entry, i, name);
        written = RegWriteDword(name, static_cast<DWORD>(entries[i])) == 0 && written;
    }
    return written;
}

void FieldLabelName(int field, wchar_t (&name)[48])
{
    if (field >= CONTACT_FIELD_COUNT)
        std::swprintf(name, 48, L"activityfieldlabel%d", field - CONTACT_FIELD_COUNT);
    else
        std::swprintf(name, 48, L"contactfieldlabel%d", field);
}

bool SaveFieldLabel(int field)
{
    wchar_t name[48];
    FieldLabelName(field, name);
    return RegWriteString(name, FieldLabel(field)) == 0;
}
