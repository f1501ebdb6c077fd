#include "settings/registry_values.h"

#include "base/text.h"

// On the handheld the settings key sits directly under HKEY_CLASSES_ROOT. On a
// desktop that root is a merged view whose machine-wide half only an
// administrator may create keys in, so a normal user's first run would fail
// to create the key and every change would be lost. The per-user classes
// branch is the half of that view which belongs to the user: writing there
// always succeeds, shows up under HKEY_CLASSES_ROOT as before, and behaves
// the same under Wine.
#ifdef UNDER_CE
const HKEY SETTINGS_ROOT = HKEY_CLASSES_ROOT;
const wchar_t SETTINGS_SUBKEY[] = L"Halvorn\\Vantaro";
#else
const HKEY SETTINGS_ROOT = HKEY_CURRENT_USER;
const wchar_t SETTINGS_SUBKEY[] = L"Software\\Classes\\Halvorn\\Vantaro";
#endif

void CreateSettingsKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

static HKEY OpenSettingsKey(REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(SETTINGS_ROOT, SETTINGS_SUBKEY, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

int RegReadString(const wchar_t* name, wchar_t* destination, size_t capacity)
{
    if (!name || !destination || capacity == 0)
        return 1;
    HKEY key = OpenSettingsKey(KEY_READ);
    if (!key)
        return 1;
    // One spare unit so that a slot without a terminator still ends in one;
    // the read is bounded by the buffer itself, spare unit aside.
    wchar_t slot[SETTINGS_STRING_CHARS + 1] = {};
    DWORD type = 0, size = sizeof slot - sizeof slot[0];
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(slot), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size % sizeof(wchar_t) != 0)
        return 1;
    // A full slot without a terminator holds 128 characters, more than any
    // writer stores.
    size_t length = 0;
    while (length < size / sizeof(wchar_t) && slot[length])
        ++length;
    if (length >= SETTINGS_STRING_CHARS)
        return 1;
    CopyText(destination, capacity, slot);
    return 0;
}

int RegWriteString(const wchar_t* name, const wchar_t* text)
{
    HKEY key = OpenSettingsKey(KEY_WRITE);
    if (!key)
        return 1;
    wchar_t slot[SETTINGS_STRING_CHARS] = {};
    CopyText(slot, text);
    LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(slot),
                                 SETTINGS_STRING_BYTES);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

int RegReadDword(const wchar_t* name, DWORD* value)
{
    if (!name || !value)
        return 1;
    HKEY key = OpenSettingsKey(KEY_READ);
    if (!key)
        return 1;
    DWORD data = 0, type = 0, size = sizeof data;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    // Only the writer's own shape is trusted: a string or a short value would
    // otherwise turn into an arbitrary number.
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data)
        return 1;
    *value = data;
    return 0;
}

int RegReadDword(const wchar_t* name, int* value)
{
    if (!value)
        return 1;
    DWORD data = 0;
    if (RegReadDword(name, &data) != 0)
        return 1;
    *value = static_cast<int>(data);
    return 0;
}

int RegWriteDword(const wchar_t* name, DWORD value)
{
    HKEY key = OpenSettingsKey(KEY_WRITE);
    if (!key)
        return 1;
    LONG result = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}
