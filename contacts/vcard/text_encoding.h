// Byte-level text conversions for card files: everything inside the card
// library is UTF-8; files arrive in UTF-8, Windows-1252 or UTF-16.
#pragma once
#include <string>
#include <string_view>

#include "platform/unicode/utf8.h"

namespace vcard {

// The program's codec, under the names the card code uses.
using unicode::IsValidUtf8;
using unicode::Utf8PrefixLength;
using unicode::Utf8ToWide;
using unicode::WideToUtf8;

// Windows-1252 to UTF-8; the five unassigned bytes map to U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view bytes);
// Whole-file UTF-16 (with its byte order mark) to UTF-8; unpaired surrogates
// become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace vcard
