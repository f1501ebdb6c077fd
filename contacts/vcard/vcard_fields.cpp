// Mapping card properties onto contact fields, and the names a contact is
// filed and shown under.
#include "contacts/vcard/vcard_fields.h"

#include <cstdlib>

namespace vcard {

namespace reading {

namespace {

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

// The birthday; a BDAY marked as text carries no date to keep.
std::string ApplyBirthday(CardBuilder& card, const ContentLine& line, const std::string& value)
{
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
    return {};
}

// A phone number, e-mail address, web page or address, ranked for Finish.
void AddCandidate(CardBuilder& card, const ContentLine& line, const std::string& value)
{
    const std::string& name = line.name;
    int preference = 101;
    Candidate candidate;
    candidate.types = TypesOf(line, preference);
    candidate.preference = preference;
    candidate.order = card.order++;
    if (name == "ADR") {
        candidate.parts = SplitEscaped(value, ";");
        candidate.parts.resize(std::max<size_t>(candidate.parts.size(), 7));
        card.addresses.push_back(candidate);
        return;
    }
    std::string single = TextValue(value);
    if (name == "TEL" && Upper(single.substr(0, 4)) == "TEL:")
        single = single.substr(4);
    if (name == "EMAIL" && Upper(single.substr(0, 7)) == "MAILTO:")
        single = single.substr(7);
    if (single.empty())
        return;
    candidate.parts.push_back(single);
    (name == "TEL" ? card.phones : name == "EMAIL" ? card.emails : card.urls).push_back(candidate);
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

}  // namespace

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
        return ApplyBirthday(card, line, value);
    } else if (name == "CATEGORIES") {
        const char* separators = card.version == "2.1" ? ",;" : ",";
        for (auto& category : SplitEscaped(value, separators)) {
            auto& list = card.contact.categories;
            if (!category.empty() && std::find(list.begin(), list.end(), category) == list.end())
                list.push_back(category);
        }
    } else if (name == "TEL" || name == "EMAIL" || name == "URL" || name == "ADR") {
        AddCandidate(card, line, value);
    }
    return {};
}

}  // namespace reading

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

}  // namespace vcard
