// Reading: bytes -> physical lines -> logical (unfolded) lines -> content
// lines -> cards. Unfolding works on bytes, so a fold inside a multi-byte
// character joins up again before any charset decoding happens.
#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vcard {

namespace {

struct PhysicalLine {
    std::string_view text;
    int number;
};

struct Param {
    std::string name;                 // upper case; "TYPE" for bare 2.1 parameters
    std::vector<std::string> values;  // as written, quotes removed
};

struct ContentLine {
    std::string name;  // upper case, group removed
    std::vector<Param> params;
    std::string value;  // raw bytes after the colon
    int line = 0;
};

// A value that several properties may supply, ranked by preference.
struct Candidate {
    std::vector<std::string> types;  // upper case
    int preference = 101;            // 1 = most preferred
    int order = 0;
    std::vector<std::string> parts;  // structured components, or one value
    bool Has(const char* type) const
    {
        return std::find(types.begin(), types.end(), type) != types.end();
    }
};

struct CardBuilder {
    CardContact contact;
    std::string version;
    std::string fileAs;  // X-VANTARO-FILEAS: a filing name of the user's own
    std::vector<Candidate> phones, emails, addresses, urls;
    int order = 0;
};

std::string Upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string Excerpt(std::string_view s)
{
    std::string text(s.substr(0, Utf8PrefixLength(s, 40)));
    if (text.size() < s.size())
        text += "...";
    return text;
}

// The physical lines one after another. Lines end in CR LF, LF or CR; a run
// of CRs before an LF is one line end, as text-mode writers turn CR LF into
// CR CR LF.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view bytes) : bytes(bytes) {}
    bool Next(PhysicalLine& line)
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

private:
    std::string_view bytes;
    size_t at = 0;
    int number = 1;
};

// A logical line being joined from its physical lines. The part before the
// value (upper case) tells how the value is encoded; it is taken once, when
// the colon arrives, so a long line costs no more than its length. A name
// and parameters longer than any real card's are not kept growing: without
// its colon the line is refused all the same.
class LogicalLine {
public:
    void Start(std::string_view text, int number)
    {
        line.assign(text);
        firstLine = number;
        head.clear();
        colon = std::string::npos;
        FindColon(0);
    }
    void Append(std::string_view text)
    {
        if (colon == std::string::npos && line.size() > kLongestHead)
            return;
        const size_t before = line.size();
        line.append(text);
        if (colon == std::string::npos)
            FindColon(before);
    }
    void DropLast() { line.pop_back(); }
    const std::string& Text() const { return line; }
    int Number() const { return firstLine; }
    bool HasValue() const { return colon != std::string::npos; }
    const std::string& Head() const { return head; }

private:
    static constexpr size_t kLongestHead = 64 * 1024;

    void FindColon(size_t from)
    {
        colon = line.find(':', from);
        if (colon != std::string::npos)
            head = Upper(std::string_view(line).substr(0, colon));
    }

    std::string line;
    std::string head;
    size_t colon = std::string::npos;
    int firstLine = 0;
};

bool HeadIsQuotedPrintable(const std::string& head)
{
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

bool HeadIsBase64(const std::string& head)
{
    return head.find("BASE64") != std::string::npos || head.find("ENCODING=B") != std::string::npos;
}

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Splits "group.NAME;p=v;BARE:value". Returns an error text, empty on success.
std::string ParseContentLine(const std::string& text, int number, ContentLine& out)
{
    out = ContentLine{};
    out.line = number;
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

// Decodes transfer encoding and charset; returns false for binary values.
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

// Splits on unescaped separators, then resolves the escapes of each part.
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

std::vector<std::string> TypesOf(const ContentLine& line, int& preference)
{
    std::vector<std::string> types;
    preference = 101;
    for (const auto& p : line.params) {
        if (p.name == "PREF") {
            const int rank = p.values.empty() ? 1 : std::atoi(p.values[0].c_str());
            preference = rank > 0 ? std::min(rank, 100) : 1;
        } else if (p.name == "TYPE") {
            for (const auto& v : p.values)
                for (auto& t : SplitEscaped(v, ","))
                    if (!t.empty())
                        types.push_back(Upper(t));
        }
    }
    if (std::find(types.begin(), types.end(), "PREF") != types.end())
        preference = std::min(preference, 1);
    return types;
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool ValidDay(int year, int month, int day)
{
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > days[month - 1])
        return false;
    // Without a year, 29 February is a birthday like any other.
    return !(month == 2 && day == 29 && year != 0 && !IsLeapYear(year));
}

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Accepts YYYY-MM-DD, YYYYMMDD, --MMDD, --MM-DD, each with an optional time.
bool ParseDate(std::string_view text, CardDate& date)
{
    std::string s = Trim(text);
    const size_t t = s.find('T');
    if (t != std::string::npos)
        s.resize(t);
    std::string digits;
    int year = 0;
    if (s.rfind("--", 0) == 0) {
        for (char c : s.substr(2))
            if (c != '-')
                digits += c;
        if (digits.size() != 4 || !AllDigits(digits))
            return false;
    } else {
        for (char c : s)
            if (c != '-')
                digits += c;
        if (digits.size() != 8 || !AllDigits(digits))
            return false;
        year = std::atoi(digits.substr(0, 4).c_str());
        if (year < 1)
            return false;
        digits = digits.substr(4);
    }
    const int month = std::atoi(digits.substr(0, 2).c_str());
    const int day = std::atoi(digits.substr(2, 2).c_str());
    if (!ValidDay(year, month, day))
        return false;
    date = CardDate{year, month, day};
    return true;
}

void NoteUnkept(CardContact& contact, const std::string& name)
{
    if (std::find(contact.unkept.begin(), contact.unkept.end(), name) == contact.unkept.end())
        contact.unkept.push_back(name);
}

// The properties the fields take, and those that only describe the file.
bool HasHome(const std::string& name)
{
    static const char* const kTaken[] = {
        "BEGIN", "END", "VERSION", "FN", "N", "ORG", "TITLE", "UID", "BDAY", "CATEGORIES", "TEL", "EMAIL",
        "URL", "ADR", "X-VANTARO-FILEAS", "X-VANTARO-OFFICE", "PRODID", "REV", "KIND", "SOURCE", "NAME",
        "PROFILE", "LABEL", "X-MS-OL-DEFAULT-POSTAL-ADDRESS"};
    for (const char* taken : kTaken)
        if (name == taken)
            return true;
    return false;
}

// Returns an error text for a value that makes the card unusable.
std::string ApplyProperty(CardBuilder& card, const ContentLine& line)
{
    const std::string& name = line.name;
    if (!HasHome(name)) {
        NoteUnkept(card.contact, name);
        return {};
    }
    if (name == "BEGIN" || name == "END")
        return {};
    if (name == "VERSION") {
        card.version = Trim(line.value);
        if (card.version != "2.1" && card.version != "3.0" && card.version != "4.0")
            return "unsupported vCard version \"" + Excerpt(card.version) + "\"";
        return {};
    }
    std::string value;
    if (!DecodeValue(line, value))
        return {};
    auto& text = card.contact.text;
    int preference = 101;
    if (name == "FN") {
        card.contact.fullName = TextValue(value);
    } else if (name == "X-VANTARO-FILEAS") {
        card.fileAs = TextValue(value);
    } else if (name == "N") {
        const auto parts = SplitEscaped(value, ";");
        text[kLastName] = parts[0];
        text[kFirstName] = parts.size() > 1 ? parts[1] : "";
        const char* const unkeptParts[] = {"middle name", "name prefix", "name suffix"};
        for (size_t i = 2; i < parts.size() && i < 5; ++i)
            if (!parts[i].empty())
                NoteUnkept(card.contact, unkeptParts[i - 2]);
    } else if (name == "ORG") {
        const auto parts = SplitEscaped(value, ";");
        text[kCompany] = parts[0];
        text[kDepartment] = parts.size() > 1 ? parts[1] : "";
    } else if (name == "TITLE") {
        text[kJobTitle] = TextValue(value);
    } else if (name == "X-VANTARO-OFFICE") {
        text[kOfficeLocation] = TextValue(value);
    } else if (name == "UID") {
        card.contact.uid = TextValue(value);
    } else if (name == "BDAY") {
        const Param* valueType = FindParam(line, "VALUE");
        if (valueType && !valueType->values.empty() && Upper(valueType->values[0]) == "TEXT")
            return {};
        CardDate date;
        if (!ParseDate(value, date))
            return "BDAY \"" + Excerpt(value) + "\" is not a date";
        // Some producers mark a day without a year by a stand-in year.
        const Param* omit = FindParam(line, "X-APPLE-OMIT-YEAR");
        if (omit && !omit->values.empty() && std::atoi(omit->values[0].c_str()) == date.year)
            date.year = 0;
        card.contact.birthday = date;
    } else if (name == "CATEGORIES") {
        const char* separators = card.version == "2.1" ? ",;" : ",";
        for (auto& category : SplitEscaped(value, separators)) {
            auto& list = card.contact.categories;
            if (!category.empty() && std::find(list.begin(), list.end(), category) == list.end())
                list.push_back(category);
        }
    } else if (name == "TEL" || name == "EMAIL" || name == "URL" || name == "ADR") {
        Candidate candidate;
        candidate.types = TypesOf(line, preference);
        candidate.preference = preference;
        candidate.order = card.order++;
        if (name == "ADR") {
            candidate.parts = SplitEscaped(value, ";");
            candidate.parts.resize(std::max<size_t>(candidate.parts.size(), 7));
            card.addresses.push_back(candidate);
            return {};
        }
        std::string single = TextValue(value);
        if (name == "TEL" && Upper(single.substr(0, 4)) == "TEL:")
            single = single.substr(4);
        if (name == "EMAIL" && Upper(single.substr(0, 7)) == "MAILTO:")
            single = single.substr(7);
        if (single.empty())
            return {};
        candidate.parts.push_back(single);
        (name == "TEL" ? card.phones : name == "EMAIL" ? card.emails : card.urls).push_back(candidate);
    }
    return {};
}

void SortByPreference(std::vector<Candidate>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const Candidate& a, const Candidate& b) { return a.preference < b.preference; });
}

void AssignPhones(CardBuilder& card)
{
    auto& text = card.contact.text;
    SortByPreference(card.phones);
    auto fill = [&](CardField field, const std::string& value) {
        if (text[field].empty()) {
            text[field] = value;
            return true;
        }
        return false;
    };
    // A number the fields hold already counts as kept.
    auto keep = [&](CardField field, const std::string& value) { return fill(field, value) || text[field] == value; };
    bool allKept = true;
    // Work faxes before other faxes, whatever order the card lists them in.
    for (const auto& phone : card.phones)
        if (phone.Has("FAX") && phone.Has("WORK"))
            fill(kBusinessFax, phone.parts[0]);
    for (const auto& phone : card.phones) {
        const std::string& number = phone.parts[0];
        if (phone.Has("FAX")) {
            allKept &= !phone.Has("HOME") && keep(kBusinessFax, number);
        } else if (phone.Has("CELL") || phone.Has("MOBILE") || phone.Has("IPHONE")) {
            allKept &= keep(kMobilePhone, number);
        } else if (phone.Has("PAGER") || phone.Has("CAR") || phone.Has("MODEM") || phone.Has("BBS")) {
            allKept = false;  // no field on the device for these
        } else if (phone.Has("HOME") && !phone.Has("WORK")) {
            allKept &= keep(kHomePhone, number);
        } else if (!fill(kBusinessPhone, number)) {
            allKept &= keep(kBusiness2Phone, number) || text[kBusinessPhone] == number;
        }
    }
    if (!allKept)
        NoteUnkept(card.contact, "TEL");
}

void Finish(CardBuilder& card)
{
    auto& contact = card.contact;
    auto& text = contact.text;
    AssignPhones(card);
    SortByPreference(card.emails);
    for (size_t i = 0; i < card.emails.size() && i < 3; ++i)
        text[kEmail1 + i] = card.emails[i].parts[0];
    if (card.emails.size() > 3)
        NoteUnkept(contact, "EMAIL");
    SortByPreference(card.urls);
    if (!card.urls.empty())
        text[kWebPage] = card.urls[0].parts[0];
    if (card.urls.size() > 1)
        NoteUnkept(contact, "URL");
    // The device keeps one (business) address: the work address, else the
    // first one the card gives.
    SortByPreference(card.addresses);
    const Candidate* address = nullptr;
    for (const auto& a : card.addresses)
        if (!address && a.Has("WORK"))
            address = &a;
    if (!address && !card.addresses.empty())
        address = &card.addresses[0];
    if (card.addresses.size() > 1)
        NoteUnkept(contact, "ADR");
    if (address) {
        // Nor do the post office box and the country.
        if (!address->parts[0].empty())
            NoteUnkept(contact, "post office box");
        if (!address->parts[6].empty())
            NoteUnkept(contact, "country");
        text[kStreet] = address->parts[2];
        if (!address->parts[1].empty())
            text[kStreet] += (text[kStreet].empty() ? "" : "\n") + address->parts[1];
        text[kCity] = address->parts[3];
        text[kState] = address->parts[4];
        text[kPostalCode] = address->parts[5];
    }
    // Filed as the device files people; a card naming nobody and no company
    // is filed under its FN, else, as address books do, under its first
    // e-mail address or its first phone number.
    text[kFileAs] = card.fileAs;
    if (text[kFileAs].empty())
        text[kFileAs] = DeriveFileAs(contact);
    if (text[kFileAs].empty())
        text[kFileAs] = contact.fullName;
    if (text[kFileAs].empty())
        text[kFileAs] = text[kEmail1];
    if (text[kFileAs].empty() && !card.phones.empty())
        text[kFileAs] = card.phones[0].parts[0];
}

}  // namespace

std::string DeriveFileAs(const CardContact& contact)
{
    const auto& text = contact.text;
    if (!text[kLastName].empty() && !text[kFirstName].empty())
        return text[kLastName] + ", " + text[kFirstName];
    if (!text[kLastName].empty())
        return text[kLastName];
    if (!text[kFirstName].empty())
        return text[kFirstName];
    return text[kCompany];
}

std::string DisplayName(const CardContact& contact)
{
    const auto& text = contact.text;
    if (!contact.fullName.empty())
        return contact.fullName;
    if (!text[kFirstName].empty() && !text[kLastName].empty())
        return text[kFirstName] + " " + text[kLastName];
    if (!text[kFirstName].empty() || !text[kLastName].empty())
        return text[kFirstName] + text[kLastName];
    return text[kFileAs];
}

CardReadResult ReadCards(std::string_view input)
{
    std::string converted;
    std::string_view bytes = input;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        converted = Utf16ToUtf8(bytes.substr(2), false);
        bytes = converted;
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF) {
        converted = Utf16ToUtf8(bytes.substr(2), true);
        bytes = converted;
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes = bytes.substr(3);
    }

    CardReadResult result;
    bool inCard = false;
    bool broken = false;
    CardBuilder card;

    auto handle = [&](const std::string& logical, int number) {
        ContentLine line;
        const std::string error = ParseContentLine(logical, number, line);
        const bool isBegin = error.empty() && line.name == "BEGIN" && Upper(Trim(line.value)) == "VCARD";
        const bool isEnd = error.empty() && line.name == "END" && Upper(Trim(line.value)) == "VCARD";
        if (isBegin) {
            if (inCard && !broken)
                result.problems.push_back({card.contact.line, "card has no END:VCARD", card.contact.fullName});
            inCard = true;
            broken = false;
            card = CardBuilder{};
            card.contact.line = number;
            return;
        }
        if (!inCard)
            return;  // text between cards carries nothing
        if (isEnd) {
            if (!broken) {
                Finish(card);
                result.contacts.push_back(std::move(card.contact));
            }
            inCard = false;
            return;
        }
        if (broken)
            return;
        const std::string problem = error.empty() ? ApplyProperty(card, line) : error;
        if (!problem.empty()) {
            result.problems.push_back({number, problem, card.contact.fullName});
            broken = true;
        }
    };

    LogicalLine current;
    bool have = false;
    LineSplitter lines(bytes);
    PhysicalLine physical;
    while (lines.Next(physical)) {
        const std::string_view t = physical.text;
        if (have) {
            if (current.HasValue() && HeadIsQuotedPrintable(current.Head()) && current.Text().back() == '=') {
                current.DropLast();
                current.Append(t);
                continue;
            }
            if (!t.empty() && (t[0] == ' ' || t[0] == '\t')) {
                // 2.1 folds keep the white space; later versions drop one character.
                current.Append(inCard && card.version == "2.1" ? t : t.substr(1));
                continue;
            }
            if (current.HasValue() && HeadIsBase64(current.Head()) && !t.empty() &&
                t.find(':') == std::string_view::npos) {
                current.Append(t);
                continue;
            }
            handle(current.Text(), current.Number());
            have = false;
        }
        if (t.empty())
            continue;
        current.Start(t, physical.number);
        have = true;
    }
    if (have)
        handle(current.Text(), current.Number());
    if (inCard && !broken)
        result.problems.push_back({card.contact.line, "card has no END:VCARD", card.contact.fullName});
    return result;
}

}  // namespace vcard
