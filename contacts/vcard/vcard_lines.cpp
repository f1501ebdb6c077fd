// Splitting a card file into lines and a line into its parts. Unfolding
// works on bytes, so a fold inside a multi-byte character joins up again
// before any charset decoding happens.
#include "contacts/vcard/vcard_lines.h"

#include "contacts/vcard/text_encoding.h"

#include <algorithm>
#include <cctype>

namespace vcard::reading {

namespace {

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool HasTypeToken(const ContentLine& line, const char* token)
{
    for (const auto& p : line.params) {
        if (p.name != "TYPE" && p.name != "ENCODING")
            continue;
        for (const auto& v : p.values)
            if (Upper(v) == token)
                return true;
    }
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '=' && i + 2 < s.size() + 0 && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else if (s[i] == '=' && i + 1 == s.size()) {
            // A soft break left at the very end of the value.
        } else {
            out += s[i];  // a stray '=' is kept as written
        }
    }
    return out;
}

}  // namespace

std::string Upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view s)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(kBlanks) + 1 - first));
}

std::string Excerpt(std::string_view s)
{
    std::string text(s.substr(0, Utf8PrefixLength(s, 40)));
    if (text.size() < s.size())
        text += "...";
    return text;
}

bool LineSplitter::Next(PhysicalLine& line)
{
    if (at >= bytes.size())
        return false;
    size_t end = at;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    line = {bytes.substr(at, end - at), number++};
    size_t crs = end;
    while (crs < bytes.size() && bytes[crs] == '\r')
        ++crs;
    at = crs < bytes.size() && bytes[crs] == '\n' ? crs + 1 : end + 1;
    return true;
}

void LogicalLine::Start(std::string_view text, int number)
{
    line.assign(text);
    firstLine = number;
    head.clear();
    colon = std::string::npos;
    valueHasSpace = false;
    FindColon(0);
    NoteSpaces(0);
}

void LogicalLine::Append(std::string_view text)
{
    if (colon == std::string::npos && line.size() > kLongestHead)
        return;
    const size_t before = line.size();
    line.append(text);
    if (colon == std::string::npos)
        FindColon(before);
    NoteSpaces(before);
}

void LogicalLine::FindColon(size_t from)
{
    colon = line.find(':', from);
    if (colon != std::string::npos)
        head = Upper(std::string_view(line).substr(0, colon));
}

void LogicalLine::NoteSpaces(size_t from)
{
    if (colon != std::string::npos && !valueHasSpace)
        valueHasSpace = line.find(' ', std::max(from, colon)) != std::string::npos;
}

bool HeadIsQuotedPrintable(const std::string& head)
{
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

bool HeadIsBase64(const std::string& head)
{
    return head.find("BASE64") != std::string::npos || head.find("ENCODING=B") != std::string::npos;
}

std::string ParseContentLine(const std::string& text, int number, ContentLine& out)
{
    out = ContentLine{};
    out.line = number;
    out.whole = text;
    size_t pos = 0;
    size_t nameStart = 0;
    while (pos < text.size() && (IsNameChar(text[pos]) || text[pos] == '.')) {
        if (text[pos] == '.')
            nameStart = pos + 1;
        ++pos;
    }
    if (pos >= text.size() || (text[pos] != ':' && text[pos] != ';') || nameStart == pos)
        return "expected a property, found \"" + Excerpt(text) + "\"";
    out.name = Upper(std::string_view(text).substr(nameStart, pos - nameStart));
    while (pos < text.size() && text[pos] == ';') {
        ++pos;
        Param param;
        std::string current;
        bool quoted = false;
        bool hasName = false;
        for (; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (!quoted && (c == ';' || c == ':'))
                break;
            if (!quoted && c == '=' && !hasName) {
                param.name = Upper(Trim(current));
                current.clear();
                hasName = true;
                continue;
            }
            if (!quoted && c == ',' && hasName) {
                param.values.push_back(current);
                current.clear();
                continue;
            }
            current += c;
        }
        if (quoted)
            return "unterminated quoted parameter";
        if (hasName) {
            param.values.push_back(current);
        } else {
            param.name = "TYPE";
            param.values.push_back(Trim(current));
        }
        out.params.push_back(std::move(param));
    }
    if (pos >= text.size() || text[pos] != ':')
        return "expected a property, found \"" + Excerpt(text) + "\"";
    out.value = text.substr(pos + 1);
    return {};
}

const Param* FindParam(const ContentLine& line, const char* name)
{
    for (const auto& p : line.params)
        if (p.name == name)
            return &p;
    return nullptr;
}

bool DecodeValue(const ContentLine& line, std::string& out)
{
    std::string bytes = line.value;
    const Param* encoding = FindParam(line, "ENCODING");
    std::string enc = encoding && !encoding->values.empty() ? Upper(encoding->values[0]) : "";
    if (enc == "B" || enc == "BASE64" || HasTypeToken(line, "BASE64"))
        return false;
    if (enc == "QUOTED-PRINTABLE" || HasTypeToken(line, "QUOTED-PRINTABLE"))
        bytes = DecodeQuotedPrintable(bytes);
    const Param* charset = FindParam(line, "CHARSET");
    const std::string cs = charset && !charset->values.empty() ? Upper(charset->values[0]) : "";
    const bool latin = cs == "ISO-8859-1" || cs == "LATIN1" || cs == "WINDOWS-1252" || cs == "CP1252";
    if (latin || !IsValidUtf8(bytes))
        out = Cp1252ToUtf8(bytes);
    else
        out = bytes;
    // Line breaks inside values are kept as a single LF.
    std::string normal;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            normal += '\n';
            if (i + 1 < out.size() && out[i + 1] == '\n')
                ++i;
        } else {
            normal += out[i];
        }
    }
    out = std::move(normal);
    return true;
}

std::vector<std::string> SplitEscaped(std::string_view value, std::string_view separators)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char n = value[i + 1];
            ++i;
            switch (n) {
            case 'n': case 'N': parts.back() += '\n'; break;
            case '\\': case ';': case ',': case ':': parts.back() += n; break;
            default: parts.back() += '\\'; parts.back() += n; break;
            }
        } else if (separators.find(c) != std::string_view::npos) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    for (auto& p : parts)
        p = Trim(p);
    return parts;
}

std::string TextValue(std::string_view value)
{
    return SplitEscaped(value, "")[0];
}
}  // namespace vcard::reading
