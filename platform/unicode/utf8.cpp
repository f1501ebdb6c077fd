#include "platform/unicode/utf8.h"

namespace unicode {

void AppendUtf8(std::string* out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacement;
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

template <class Unit>
static void AppendUnits(std::string* out, const Unit* text, size_t size)
{
    out->reserve(out->size() + size);
    for (size_t at = 0; at < size;)
        AppendUtf8(out, NextCodePoint(text, size, &at));
}

void AppendUtf8(std::string* out, std::wstring_view text)
{
    AppendUnits(out, text.data(), text.size());
}

void AppendUtf8(std::string* out, std::u16string_view text)
{
    AppendUnits(out, text.data(), text.size());
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    AppendUtf8(&out, text);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    AppendUtf8(&out, text);
    return out;
}

// The lead byte's payload bits, how many continuation bytes follow it and the
// least code point that needs them; false for a byte no character starts with.
static bool ReadLead(unsigned char lead, char32_t* c, int* extra, char32_t* minimum)
{
    if ((lead & 0xE0) == 0xC0) {
        *extra = 1, *c = lead & 0x1F, *minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        *extra = 2, *c = lead & 0x0F, *minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        *extra = 3, *c = lead & 0x07, *minimum = 0x10000;
    } else {
        return false;
    }
    return true;
}

char32_t DecodeUtf8(std::string_view text, size_t* at, bool* valid)
{
    const size_t pos = *at;
    const auto lead = static_cast<unsigned char>(text[pos]);
    *valid = true;
    ++*at;
    if (lead < 0x80)
        return lead;
    char32_t c = 0, minimum = 0;
    int extra = 0;
    *valid = ReadLead(lead, &c, &extra, &minimum) && pos + extra < text.size();
    for (int i = 1; *valid && i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        *valid = (b & 0xC0) == 0x80;
        c = (c << 6) | (b & 0x3F);
    }
    if (*valid && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
        *valid = false;
    if (!*valid)
        return kReplacement;
    *at = pos + extra + 1;
    return c;
}

bool IsValidUtf8(std::string_view bytes)
{
    size_t at = 0;
    bool valid = true;
    while (at < bytes.size() && valid)
        DecodeUtf8(bytes, &at, &valid);
    return valid;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t at = 0;
    bool valid = true;
    while (at < text.size()) {
        const char32_t c = DecodeUtf8(text, &at, &valid);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
                continue;
            }
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

size_t Utf8PrefixLength(std::string_view text, size_t limit)
{
    if (limit >= text.size())
        return text.size();
    size_t end = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

}  // namespace unicode
