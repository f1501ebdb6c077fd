#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"

#include <cstdio>

namespace vcard {

namespace {

std::string Escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\n': out += "\\n"; break;
        case '\r': break;
        default: out += c; break;
        }
    }
    return out;
}

// Folds at 75 octets, never inside a UTF-8 sequence.
void AppendLine(std::string& out, const std::string& line)
{
    std::string_view rest = line;
    size_t limit = 75;
    while (rest.size() > limit) {
        size_t cut = Utf8PrefixLength(rest, limit);
        if (cut == 0)
            cut = limit;  // cannot happen with valid UTF-8; keeps the loop finite
        out.append(rest.substr(0, cut));
        out += "\r\n ";
        rest.remove_prefix(cut);
        limit = 74;  // the leading blank of a continuation counts
    }
    out.append(rest);
    out += "\r\n";
}

std::string DateText(const CardDate& date)
{
    char text[16];
    if (date.year > 0)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year % 10000, date.month % 100, date.day % 100);
    else
        std::snprintf(text, sizeof text, "--%02d-%02d", date.month % 100, date.day % 100);
    return text;
}

// The properties written from one field each, in the order they are written.
struct FieldLine {
    const char* property;
    CardField field;
};
const FieldLine kNameLines[] = {
    {"NICKNAME", kNickname},
    {"X-PHONETIC-FIRST-NAME", kPhoneticFirstName},
    {"X-PHONETIC-LAST-NAME", kPhoneticLastName},
    {"X-PHONETIC-ORG", kPhoneticCompany},
};
const FieldLine kReachLines[] = {
    {"TEL;TYPE=WORK,VOICE", kBusinessPhone},   {"TEL;TYPE=WORK,VOICE", kBusiness2Phone},
    {"TEL;TYPE=CELL", kMobilePhone},           {"TEL;TYPE=HOME,VOICE", kHomePhone},
    {"TEL;TYPE=HOME,VOICE", kHome2Phone},      {"TEL;TYPE=WORK,FAX", kBusinessFax},
    {"TEL;TYPE=HOME,FAX", kHomeFax},           {"TEL;TYPE=PAGER", kPager},
    {"TEL;TYPE=CAR", kCarPhone},               {"TEL;TYPE=X-RADIO", kRadioPhone},
    {"TEL;TYPE=X-ASSISTANT", kAssistantPhone}, {"EMAIL;TYPE=INTERNET,PREF", kEmail1},
    {"EMAIL;TYPE=INTERNET", kEmail2},          {"EMAIL;TYPE=INTERNET", kEmail3},
    {"URL", kWebPage},                         {"IMPP", kInstantMessage1},
    {"IMPP", kInstantMessage2},                {"IMPP", kInstantMessage3},
    {"X-VANTARO-OFFICE", kOfficeLocation},     {"X-ASSISTANT", kAssistant},
    {"X-SPOUSE", kSpouse},                     {"X-CHILDREN", kChildren},
    {"NOTE", kNotes},
};

struct AddressLine {
    const char* property;
    CardField street, city, state, postalCode, country;
};
const AddressLine kAddressLines[] = {
    {"ADR;TYPE=WORK", kStreet, kCity, kState, kPostalCode, kCountry},
    {"ADR;TYPE=HOME", kHomeStreet, kHomeCity, kHomeState, kHomePostalCode, kHomeCountry},
    {"ADR;TYPE=OTHER", kOtherStreet, kOtherCity, kOtherState, kOtherPostalCode, kOtherCountry},
};

}  // namespace

std::string WriteCard(const CardContact& contact)
{
    const auto& text = contact.text;
    std::string out;
    auto line = [&](const std::string& content) { AppendLine(out, content); };
    auto fieldLines = [&](const auto& table) {
        for (const FieldLine& l : table)
            if (!text[l.field].empty())
                line(std::string(l.property) + ":" + Escape(text[l.field]));
    };
    line("BEGIN:VCARD");
    line("VERSION:3.0");
    line("FN:" + Escape(DisplayName(contact)));
    line("N:" + Escape(text[kLastName]) + ";" + Escape(text[kFirstName]) + ";" + Escape(text[kMiddleName]) + ";" +
         Escape(text[kNamePrefix]) + ";" + Escape(text[kNameSuffix]));
    fieldLines(kNameLines);
    if (!text[kCompany].empty() || !text[kDepartment].empty())
        line("ORG:" + Escape(text[kCompany]) + (text[kDepartment].empty() ? "" : ";" + Escape(text[kDepartment])));
    if (!text[kJobTitle].empty())
        line("TITLE:" + Escape(text[kJobTitle]));
    for (const AddressLine& a : kAddressLines) {
        std::string parts;
        for (CardField f : {a.street, a.city, a.state, a.postalCode, a.country})
            parts += ";" + Escape(text[f]);
        if (parts.size() > 5)
            line(std::string(a.property) + ":;" + parts);
    }
    fieldLines(kReachLines);
    // A filing name the user chose survives the trip; the usual one is made
    // again from N or ORG.
    if (!text[kFileAs].empty() && text[kFileAs] != DeriveFileAs(contact))
        line("X-VANTARO-FILEAS:" + Escape(text[kFileAs]));
    if (contact.birthday.Present())
        line("BDAY:" + DateText(contact.birthday));
    if (contact.anniversary.Present())
        line("X-ANNIVERSARY:" + DateText(contact.anniversary));
    if (!contact.categories.empty()) {
        std::string list;
        for (const auto& category : contact.categories)
            list += (list.empty() ? "" : ",") + Escape(category);
        line("CATEGORIES:" + list);
    }
    if (!contact.uid.empty())
        line("UID:" + Escape(contact.uid));
    for (const auto& extra : contact.extras)
        line(extra);
    line("END:VCARD");
    return out;
}

}  // namespace vcard
