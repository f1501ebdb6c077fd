// Byte-level text conversions for card files: everything inside the card
// library is UTF-8; files arrive in UTF-8, Windows-1252 or UTF-16.
#pragma once
#include <string>
#include <string_view>

namespace vcard {

bool IsValidUtf8(std::string_view bytes);
// Windows-1252 to UTF-8; the five unassigned bytes map to U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view bytes);
// Whole-file UTF-16 (with its byte order mark) to UTF-8; unpaired surrogates
// become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Wide strings are UTF-16 where wchar_t has 16 bits (Windows) and UTF-32
// elsewhere. Invalid input becomes U+FFFD, never a crash.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Length of the longest prefix of at most limit bytes that ends on a
// character boundary.
size_t Utf8PrefixLength(std::string_view text, size_t limit);

}  // namespace vcard
