// The program's one UTF-8 codec. Files, paths and card text are UTF-8; the
// program's strings are UTF-16 (wchar_t where it has 16 bits, char16_t in the
// database engine) or, natively, wchar_t code points. Bad input never fails:
// what cannot be encoded or decoded becomes U+FFFD.
//
// It sits in platform/, the lowest layer, because the database service below
// everything else needs it as much as the card and export code above.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace unicode {

constexpr char32_t kReplacement = 0xFFFD;

// Appends one code point; a surrogate or a value past U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string* out, char32_t c);
// Appends UTF-16 text (or, where wchar_t has 32 bits, code points): a
// surrogate pair is one code point, a lone surrogate U+FFFD.
void AppendUtf8(std::string* out, std::wstring_view text);
void AppendUtf8(std::string* out, std::u16string_view text);

std::string WideToUtf8(std::wstring_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The code point of the units at text[*at], moving *at past them: a
// surrogate pair of 16-bit units is one code point, a lone surrogate U+FFFD.
// Units wider than 16 bits are code points already.
template <class Unit>
char32_t NextCodePoint(const Unit* text, size_t size, size_t* at)
{
    char32_t c = static_cast<char32_t>(text[(*at)++]);
    if constexpr (sizeof(Unit) == 2) {
        c &= 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && *at < size) {
            const char32_t low = static_cast<char32_t>(text[*at]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++*at;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) return kReplacement;
    }
    return c;
}

// Decodes one character at *at, moving past it. Invalid input (a cut-short,
// overlong or surrogate form, a stray byte) consumes one byte, yields U+FFFD
// and clears *valid.
char32_t DecodeUtf8(std::string_view text, size_t* at, bool* valid);
bool IsValidUtf8(std::string_view bytes);
std::wstring Utf8ToWide(std::string_view text);

// Length of the longest prefix of at most limit bytes that ends on a
// character boundary.
size_t Utf8PrefixLength(std::string_view text, size_t limit);

}  // namespace unicode
