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

}  // namespace

std::string WriteCard(const CardContact& contact)
{
    const auto& text = contact.text;
    std::string out;
    auto line = [&](const std::string& content) { AppendLine(out, content); };
    auto optional = [&](const char* name, CardField field) {
        if (!text[field].empty())
            line(std::string(name) + ":" + Escape(text[field]));
    };
    line("BEGIN:VCARD");
    line("VERSION:3.0");
    line("FN:" + Escape(DisplayName(contact)));
    line("N:" + Escape(text[kLastName]) + ";" + Escape(text[kFirstName]) + ";;;");
    if (!text[kCompany].empty() || !text[kDepartment].empty())
        line("ORG:" + Escape(text[kCompany]) + (text[kDepartment].empty() ? "" : ";" + Escape(text[kDepartment])));
    optional("TITLE", kJobTitle);
    if (!text[kStreet].empty() || !text[kCity].empty() || !text[kState].empty() || !text[kPostalCode].empty())
        line("ADR;TYPE=WORK:;;" + Escape(text[kStreet]) + ";" + Escape(text[kCity]) + ";" +
             Escape(text[kState]) + ";" + Escape(text[kPostalCode]) + ";");
    optional("TEL;TYPE=WORK,VOICE", kBusinessPhone);
    optional("TEL;TYPE=WORK,VOICE", kBusiness2Phone);
    optional("TEL;TYPE=CELL", kMobilePhone);
    optional("TEL;TYPE=HOME,VOICE", kHomePhone);
    optional("TEL;TYPE=WORK,FAX", kBusinessFax);
    optional("EMAIL;TYPE=INTERNET,PREF", kEmail1);
    optional("EMAIL;TYPE=INTERNET", kEmail2);
    optional("EMAIL;TYPE=INTERNET", kEmail3);
    optional("URL", kWebPage);
    optional("X-VANTARO-OFFICE", kOfficeLocation);
    // A filing name the user chose survives the trip; the usual one is made
    // again from N or ORG.
    if (!text[kFileAs].empty() && text[kFileAs] != DeriveFileAs(contact))
        line("X-VANTARO-FILEAS:" + Escape(text[kFileAs]));
    if (contact.birthday.Present()) {
        char date[16];
        if (contact.birthday.year > 0)
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", contact.birthday.year % 10000,
                          contact.birthday.month % 100, contact.birthday.day % 100);
        else
            std::snprintf(date, sizeof date, "--%02d-%02d", contact.birthday.month % 100,
                          contact.birthday.day % 100);
        line(std::string("BDAY:") + date);
    }
    if (!contact.categories.empty()) {
        std::string list;
        for (const auto& category : contact.categories)
            list += (list.empty() ? "" : ",") + Escape(category);
        line("CATEGORIES:" + list);
    }
    if (!contact.uid.empty())
        line("UID:" + Escape(contact.uid));
    line("END:VCARD");
    return out;
}

}  // namespace vcard
