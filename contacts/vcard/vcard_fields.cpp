// Mapping card properties onto contact fields, and the names a contact is
// filed and shown under.
#include "contacts/vcard/vcard_fields.h"

#include <cstdlib>
#include <initializer_list>
#include <iterator>

#include "contacts/vcard/text_encoding.h"

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

// Keeps a line that found no field as the card wrote it, in UTF-8.
void KeepLine(CardContact& contact, std::string_view whole)
{
    const std::string line = IsValidUtf8(whole) ? std::string(whole) : Cp1252ToUtf8(whole);
    if (std::find(contact.extras.begin(), contact.extras.end(), line) == contact.extras.end())
        contact.extras.push_back(line);
}

// Properties that only describe the file, or repeat what others say (a
// LABEL is an address laid out): nothing of the contact is lost without them.
bool DescribesFile(const std::string& name)
{
    static const char* const kNames[] = {"BEGIN", "END", "PRODID", "REV", "KIND", "SOURCE", "NAME",
                                         "PROFILE", "LABEL", "X-MS-OL-DEFAULT-POSTAL-ADDRESS"};
    return std::any_of(std::begin(kNames), std::end(kNames), [&](const char* n) { return name == n; });
}

// Single text values and the field each lands in, under the names the
// producers give them. The first value wins; a later one is kept as a line.
struct TextHome {
    const char* name;
    CardField field;
};
const TextHome kTextHomes[] = {
    {"TITLE", kJobTitle}, {"X-VANTARO-OFFICE", kOfficeLocation}, {"NICKNAME", kNickname}, {"NOTE", kNotes},
    {"X-SPOUSE", kSpouse}, {"X-MS-SPOUSE", kSpouse}, {"X-EVOLUTION-SPOUSE", kSpouse},
    {"X-KADDRESSBOOK-X-SPOUSENAME", kSpouse}, {"X-CHILDREN", kChildren}, {"X-MS-CHILD", kChildren},
    {"X-CHILD", kChildren}, {"X-ASSISTANT", kAssistant}, {"X-MS-ASSISTANT", kAssistant},
    {"X-EVOLUTION-ASSISTANT", kAssistant}, {"X-KADDRESSBOOK-X-ASSISTANTSNAME", kAssistant},
    {"X-PHONETIC-FIRST-NAME", kPhoneticFirstName}, {"X-PHONETIC-LAST-NAME", kPhoneticLastName},
    {"X-PHONETIC-ORG", kPhoneticCompany}, {"SORT-STRING", kPhoneticLastName},
};

// Instant messaging addresses: IMPP carries a URI, the older properties a
// bare address that the scheme turns into one.
struct MessengerHome {
    const char* name;
    const char* scheme;
};
const MessengerHome kMessengers[] = {
    {"IMPP", ""}, {"X-MS-IMADDRESS", ""}, {"X-AIM", "aim:"}, {"X-ICQ", "icq:"}, {"X-JABBER", "xmpp:"},
    {"X-GOOGLE-TALK", "xmpp:"}, {"X-MSN", "msnim:"}, {"X-YAHOO", "ymsgr:"}, {"X-SKYPE", "skype:"},
    {"X-SKYPE-USERNAME", "skype:"}, {"X-GADUGADU", "gg:"}, {"X-GROUPWISE", "groupwise:"},
};

const char* const kAnniversaryNames[] = {"ANNIVERSARY", "X-ANNIVERSARY", "X-MS-ANNIVERSARY",
                                         "X-EVOLUTION-ANNIVERSARY"};

// Puts a value in the first of the fields that is free; true when one took
// it or already holds it.
bool Place(CardContact& contact, const std::vector<CardField>& fields, const std::string& value)
{
    for (CardField field : fields)
        if (contact.text[field] == value)
            return true;
    for (CardField field : fields)
        if (contact.text[field].empty()) {
            contact.text[field] = value;
            return true;
        }
    return false;
}

// A date of the card; a date marked as text, or one that is no date, is
// the card's own business and false comes back.
bool ReadDate(const ContentLine& line, const std::string& value, CardDate& date)
{
    const Param* valueType = FindParam(line, "VALUE");
    if (valueType && !valueType->values.empty() && Upper(valueType->values[0]) == "TEXT")
        return false;
    if (!ParseDate(value, date))
        return false;
    // Some producers mark a day without a year by a stand-in year.
    const Param* omit = FindParam(line, "X-APPLE-OMIT-YEAR");
    if (omit && !omit->values.empty() && std::atoi(omit->values[0].c_str()) == date.year)
        date.year = 0;
    return true;
}

// The birthday; a BDAY marked as text is kept as its line.
std::string ApplyBirthday(CardBuilder& card, const ContentLine& line, const std::string& value)
{
    const Param* valueType = FindParam(line, "VALUE");
    if (valueType && !valueType->values.empty() && Upper(valueType->values[0]) == "TEXT") {
        KeepLine(card.contact, line.whole);
        return {};
    }
    if (!ReadDate(line, value, card.contact.birthday))
        return "BDAY \"" + Excerpt(value) + "\" is not a date";
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
    candidate.whole = std::string(line.whole);
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

// The fields a number of these types may go to, in order; none for a kind
// of line the device has no field for (modem, mailbox).
std::vector<CardField> PhoneFields(const Candidate& phone)
{
    if (phone.Has("FAX"))
        return {phone.Has("HOME") && !phone.Has("WORK") ? kHomeFax : kBusinessFax};
    if (phone.Has("CELL") || phone.Has("MOBILE") || phone.Has("IPHONE"))
        return {kMobilePhone};
    if (phone.Has("PAGER"))
        return {kPager};
    if (phone.Has("CAR"))
        return {kCarPhone};
    if (phone.Has("RADIO"))
        return {kRadioPhone};
    if (phone.Has("ASSISTANT"))
        return {kAssistantPhone};
    if (phone.Has("MODEM") || phone.Has("BBS"))
        return {};
    if (phone.Has("HOME") && !phone.Has("WORK"))
        return {kHomePhone, kHome2Phone};
    return {kBusinessPhone, kBusiness2Phone};
}

void AssignPhones(CardBuilder& card)
{
    auto& contact = card.contact;
    SortByPreference(card.phones);
    // Work faxes before other faxes, whatever order the card lists them in.
    for (const auto& phone : card.phones)
        if (phone.Has("FAX") && phone.Has("WORK"))
            Place(contact, {kBusinessFax}, phone.parts[0]);
    for (const auto& phone : card.phones)
        if (!Place(contact, PhoneFields(phone), phone.parts[0]))
            KeepLine(contact, phone.whole);
}

// The address fields of one address: street, city, state, postal code,
// country.
struct AddressFields {
    CardField street, city, state, postalCode, country;
};
constexpr AddressFields kBusinessAddress{kStreet, kCity, kState, kPostalCode, kCountry};
constexpr AddressFields kHomeAddress{kHomeStreet, kHomeCity, kHomeState, kHomePostalCode, kHomeCountry};
constexpr AddressFields kOtherAddress{kOtherStreet, kOtherCity, kOtherState, kOtherPostalCode, kOtherCountry};

bool AddressFree(const CardContact& contact, const AddressFields& fields)
{
    for (CardField f : {fields.street, fields.city, fields.state, fields.postalCode, fields.country})
        if (!contact.text[f].empty())
            return false;
    return true;
}

// Work, home and other addresses each have their fields; an address with
// no type is a work address (the default of the format), or else another.
void AssignAddresses(CardBuilder& card)
{
    auto& contact = card.contact;
    SortByPreference(card.addresses);
    for (const auto& address : card.addresses) {
        bool typed = false;
        for (const auto& type : address.types)
            typed = typed || type != "PREF";
        std::vector<const AddressFields*> homes;
        if (address.Has("WORK"))
            homes = {&kBusinessAddress};
        else if (address.Has("HOME"))
            homes = {&kHomeAddress};
        else if (typed)
            homes = {&kOtherAddress};
        else
            homes = {&kBusinessAddress, &kOtherAddress};
        const AddressFields* home = nullptr;
        for (const AddressFields* h : homes)
            if (!home && AddressFree(contact, *h))
                home = h;
        if (!home) {
            KeepLine(contact, address.whole);
            continue;
        }
        // The street takes the extended address and the post office box
        // on lines of their own.
        std::string street = address.parts[2];
        for (int part : {1, 0})
            if (!address.parts[part].empty())
                street += (street.empty() ? "" : "\n") + address.parts[part];
        contact.text[home->street] = street;
        contact.text[home->city] = address.parts[3];
        contact.text[home->state] = address.parts[4];
        contact.text[home->postalCode] = address.parts[5];
        contact.text[home->country] = address.parts[6];
    }
}

// The values of which the device keeps a few (e-mail addresses, web pages):
// the most preferred ones, the rest as their lines.
void AssignRanked(CardContact& contact, std::vector<Candidate>& list, const std::vector<CardField>& fields)
{
    SortByPreference(list);
    for (const auto& candidate : list)
        if (!Place(contact, fields, candidate.parts[0]))
            KeepLine(contact, candidate.whole);
}

void ApplyMessenger(CardContact& contact, const ContentLine& line, const char* scheme, const std::string& value)
{
    std::string address = TextValue(value);
    if (address.empty())
        return;
    if (*scheme && address.find(':') == std::string::npos)
        address = scheme + address;
    if (!Place(contact, {kInstantMessage1, kInstantMessage2, kInstantMessage3}, address))
        KeepLine(contact, line.whole);
}

// RELATED names a spouse or a child as text; other relations, and those
// given as links, are kept as their lines.
void ApplyRelated(CardContact& contact, const ContentLine& line, const std::string& value)
{
    int preference = 101;
    const std::vector<std::string> types = TypesOf(line, preference);
    const bool spouse = std::find(types.begin(), types.end(), "SPOUSE") != types.end();
    const bool child = std::find(types.begin(), types.end(), "CHILD") != types.end();
    const std::string name = TextValue(value);
    const Param* valueType = FindParam(line, "VALUE");
    const bool text = valueType && !valueType->values.empty() && Upper(valueType->values[0]) == "TEXT";
    if (text && spouse && Place(contact, {kSpouse}, name))
        return;
    if (text && child) {
        auto& children = contact.text[kChildren];
        children += (children.empty() ? "" : ", ") + name;
        return;
    }
    KeepLine(contact, line.whole);
}

// A kept line read again: its name without the group, the group, and its
// text value. False when it is not a property line.
bool ReadKeptLine(const std::string& whole, std::string& name, std::string& group, std::string& value)
{
    ContentLine line;
    if (!ParseContentLine(whole, 0, line).empty() || !DecodeValue(line, value))
        return false;
    name = line.name;
    const size_t dot = whole.find('.');
    group = dot < whole.find_first_of(";:") ? Upper(whole.substr(0, dot)) : "";
    return true;
}

// Relations and dates that some producers write in general-purpose
// properties, told apart by a label of the same group or by a kind code:
// those with a field are taken out of the kept lines.
void TakeLabelledValues(CardContact& contact)
{
    auto& extras = contact.extras;
    std::vector<bool> taken(extras.size());
    auto labelOf = [&](const std::string& group, size_t& at) {
        std::string name, g, value;
        for (at = 0; at < extras.size(); ++at)
            if (ReadKeptLine(extras[at], name, g, value) && name == "X-ABLABEL" && g == group)
                return TextValue(value);
        return std::string();
    };
    auto take = [&](CardField field, const std::string& value) {
        if (field == kChildren && !contact.text[kChildren].empty()) {
            contact.text[kChildren] += ", " + value;
            return true;
        }
        return Place(contact, {field}, value);
    };
    for (size_t i = 0; i < extras.size(); ++i) {
        std::string name, group, value;
        if (!ReadKeptLine(extras[i], name, group, value))
            continue;
        if (name == "X-ANDROID-CUSTOM") {
            // A kind, then the value and its type code.
            const auto parts = SplitEscaped(value, ";");
            const std::string kind = parts[0], type = parts.size() > 2 ? parts[2] : "";
            const std::string single = parts.size() > 1 ? parts[1] : "";
            CardField field = kCardFields;
            if (kind == "vnd.android.cursor.item/nickname")
                field = kNickname;
            else if (kind == "vnd.android.cursor.item/relation")
                field = type == "14" ? kSpouse : type == "3" ? kChildren : type == "1" ? kAssistant : kCardFields;
            taken[i] = field != kCardFields && !single.empty() && take(field, single);
            continue;
        }
        if (group.empty() || (name != "X-ABRELATEDNAMES" && name != "X-ABDATE"))
            continue;
        size_t labelAt = 0;
        const std::string label = labelOf(group, labelAt);
        if (name == "X-ABDATE" && label == "_$!<Anniversary>!$_" && !contact.anniversary.Present()) {
            ContentLine line;
            ParseContentLine(extras[i], 0, line);
            taken[i] = ReadDate(line, value, contact.anniversary);
        } else if (name == "X-ABRELATEDNAMES") {
            const CardField field = label == "_$!<Spouse>!$_" ? kSpouse
                                    : label == "_$!<Child>!$_" ? kChildren
                                    : label == "_$!<Assistant>!$_" ? kAssistant
                                    : kCardFields;
            taken[i] = field != kCardFields && take(field, TextValue(value));
        }
        if (taken[i] && labelAt < extras.size())
            taken[labelAt] = true;
    }
    std::vector<std::string> kept;
    for (size_t i = 0; i < extras.size(); ++i)
        if (!taken[i])
            kept.push_back(std::move(extras[i]));
    extras = std::move(kept);
}

}  // namespace

void Finish(CardBuilder& card)
{
    auto& contact = card.contact;
    auto& text = contact.text;
    AssignPhones(card);
    AssignRanked(contact, card.emails, {kEmail1, kEmail2, kEmail3});
    AssignRanked(contact, card.urls, {kWebPage});
    AssignAddresses(card);
    TakeLabelledValues(contact);
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
    if (DescribesFile(name))
        return {};
    if (name == "VERSION") {
        card.version = Trim(line.value);
        if (card.version != "2.1" && card.version != "3.0" && card.version != "4.0")
            return "unsupported vCard version \"" + Excerpt(card.version) + "\"";
        return {};
    }
    auto& contact = card.contact;
    std::string value;
    if (!DecodeValue(line, value)) {
        KeepLine(contact, line.whole);  // a photo, a key, a sound
        return {};
    }
    auto& text = contact.text;
    for (const TextHome& home : kTextHomes) {
        if (name != home.name)
            continue;
        const std::string single = TextValue(value);
        if (home.field == kChildren && !text[kChildren].empty() && !single.empty())
            text[kChildren] += ", " + single;
        else if (!single.empty() && !Place(contact, {home.field}, single))
            KeepLine(contact, line.whole);
        return {};
    }
    for (const MessengerHome& messenger : kMessengers)
        if (name == messenger.name) {
            ApplyMessenger(contact, line, messenger.scheme, value);
            return {};
        }
    for (const char* anniversary : kAnniversaryNames)
        if (name == anniversary) {
            if (contact.anniversary.Present() || !ReadDate(line, value, contact.anniversary))
                KeepLine(contact, line.whole);
            return {};
        }
    if (name == "FN") {
        contact.fullName = TextValue(value);
    } else if (name == "X-VANTARO-FILEAS") {
        card.fileAs = TextValue(value);
    } else if (name == "N") {
        auto parts = SplitEscaped(value, ";");
        parts.resize(std::max<size_t>(parts.size(), 5));
        const CardField fields[] = {kLastName, kFirstName, kMiddleName, kNamePrefix, kNameSuffix};
        for (size_t i = 0; i < 5; ++i)
            text[fields[i]] = parts[i];
    } else if (name == "ORG") {
        const auto parts = SplitEscaped(value, ";");
        text[kCompany] = parts[0];
        // Units below the department stay with it.
        text[kDepartment].clear();
        for (size_t i = 1; i < parts.size(); ++i)
            if (!parts[i].empty())
                text[kDepartment] += (text[kDepartment].empty() ? "" : ", ") + parts[i];
    } else if (name == "UID") {
        contact.uid = TextValue(value);
    } else if (name == "BDAY") {
        return ApplyBirthday(card, line, value);
    } else if (name == "CATEGORIES") {
        const char* separators = card.version == "2.1" ? ",;" : ",";
        for (auto& category : SplitEscaped(value, separators)) {
            auto& list = contact.categories;
            if (!category.empty() && std::find(list.begin(), list.end(), category) == list.end())
                list.push_back(category);
        }
    } else if (name == "TEL" || name == "EMAIL" || name == "URL" || name == "ADR") {
        AddCandidate(card, line, value);
    } else if (name == "RELATED") {
        ApplyRelated(contact, line, value);
    } else {
        KeepLine(contact, line.whole);
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
    if (!contact.fullName.empty())
        return contact.fullName;
    std::string name;
    for (CardField part : {kNamePrefix, kFirstName, kMiddleName, kLastName, kNameSuffix})
        if (!contact.text[part].empty())
            name += (name.empty() ? "" : " ") + contact.text[part];
    return name.empty() ? contact.text[kFileAs] : name;
}

}  // namespace vcard
