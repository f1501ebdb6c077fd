// Raw access to the settings key: values by name, in the shapes the settings
// store writes. Only the settings table names values; see setting_table.h.
#pragma once
#include <windows.h>

#include <cstddef>

// Where the key lives; see registry_values.cpp for why the desktop uses the
// per-user classes branch.
extern const HKEY SETTINGS_ROOT;
extern const wchar_t SETTINGS_SUBKEY[];

// Every string value is written as a slot of this many bytes: the text, its
// terminator and zeros behind it. A string setting holds at most 127 characters.
constexpr DWORD SETTINGS_STRING_BYTES = 256;
constexpr size_t SETTINGS_STRING_CHARS = SETTINGS_STRING_BYTES / sizeof(wchar_t);

// Creates the key when it is missing. Nothing else is written.
void CreateSettingsKey();

// Each returns 0 on success and 1 on failure. A read that fails leaves the
// destination as it was, so callers preset it with the default. Values of a
// type or length the writers never produce count as unreadable.
int RegReadString(const wchar_t* name, wchar_t* destination, size_t capacity);
template <size_t N>
int RegReadString(const wchar_t* name, wchar_t (&destination)[N])
{
    return RegReadString(name, destination, N);
}
int RegWriteString(const wchar_t* name, const wchar_t* text);
int RegReadDword(const wchar_t* name, int* value);
int RegReadDword(const wchar_t* name, DWORD* value);
int RegWriteDword(const wchar_t* name, DWORD value);
