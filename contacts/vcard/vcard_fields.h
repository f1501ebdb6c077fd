// How the properties of one card land in the fields of a device contact:
// each property is applied as it is read, and values several properties may
// supply (phones, e-mail addresses, web pages, addresses) are ranked and
// placed when the card ends. Internal to the card reader.
#pragma once
#include "contacts/vcard/vcard.h"
#include "contacts/vcard/vcard_lines.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vcard::reading {

// A value that several properties may supply, ranked by preference.
struct Candidate {
    std::vector<std::string> types;  // upper case
    int preference = 101;            // 1 = most preferred
    int order = 0;
    std::vector<std::string> parts;  // structured components, or one value
    std::string whole;               // the line, kept as it was if no field takes it
    // The type as written, or as a producer's own "X-" name ending in it
    // (X-RADIO, X-EVOLUTION-RADIO, X-car).
    bool Has(const std::string& type) const
    {
        return std::any_of(types.begin(), types.end(), [&](const std::string& t) {
            if (t == type)
                return true;
            const size_t at = t.size() - type.size();   // where the name would end "-" + type
            return t.rfind("X-", 0) == 0 && t.size() >= type.size() + 2 && t[at - 1] == '-' &&
                   t.compare(at, std::string::npos, type) == 0;
        });
    }
};

struct CardBuilder {
    CardContact contact;
    std::string version;
    std::string fileAs;  // X-VANTARO-FILEAS: a filing name of the user's own
    std::vector<Candidate> phones, emails, addresses, urls;
    int order = 0;
};

// Returns an error text for a value that makes the card unusable.
std::string ApplyProperty(CardBuilder& card, const ContentLine& line);

// Places the ranked values and files the contact once its card has ended.
void Finish(CardBuilder& card);

}  // namespace vcard::reading
