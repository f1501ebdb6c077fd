// Reading and writing vCard files (versions 2.1, 3.0 and 4.0 in, 3.0 out),
// mapped onto the properties a device contact carries: the 21 fields lists
// and exports show, its categories, and the rest that exchange keeps.
// Portable: no Windows headers, all text UTF-8.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vcard {

// The text fields in the order of the contact field catalogue; the birthday
// (catalogue field 20) is kept as a date beside them. The fields after
// kCardTextFields are kept in exchange only, in the order of the device
// contact's further properties. The street, city, state and postal code
// without a prefix are those of the business address.
enum CardField {
    kFileAs, kFirstName, kLastName, kJobTitle, kCompany,
    kStreet, kCity, kState, kPostalCode,
    kBusinessPhone, kBusiness2Phone, kMobilePhone, kHomePhone, kBusinessFax,
    kEmail1, kEmail2, kEmail3, kWebPage, kOfficeLocation, kDepartment,
    kCardTextFields,
    kMiddleName = kCardTextFields, kNamePrefix, kNameSuffix, kNickname,
    kPhoneticFirstName, kPhoneticLastName, kPhoneticCompany, kCountry,
    kHomeStreet, kHomeCity, kHomeState, kHomePostalCode, kHomeCountry,
    kOtherStreet, kOtherCity, kOtherState, kOtherPostalCode, kOtherCountry,
    kNotes, kSpouse, kChildren, kAssistant, kAssistantPhone,
    kHome2Phone, kHomeFax, kPager, kCarPhone, kRadioPhone,
    kInstantMessage1, kInstantMessage2, kInstantMessage3,
    kCardFields
};

// A calendar day; year 0 when the card gives the day without a year.
struct CardDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool Present() const { return month != 0; }
    bool operator==(const CardDate& o) const { return year == o.year && month == o.month && day == o.day; }
};

struct CardContact {
    // text[kFileAs] is how the device files the person ("Last, First");
    // fullName is the card's FN, the name as it is shown.
    std::array<std::string, kCardFields> text;
    std::string fullName;
    CardDate birthday;
    CardDate anniversary;
    std::vector<std::string> categories;
    std::string uid;
    int line = 0;  // line of its BEGIN:VCARD in the file read
    // The card's lines that found no field (a photo, a key, a property only
    // its producer knows, a number beyond those the fields hold), unfolded
    // and as the card wrote them, to be written back on export.
    std::vector<std::string> extras;
    // Properties that were not kept at all, by name ("post office box" for
    // a part of one), each once.
    std::vector<std::string> unkept;
};

struct CardProblem {
    int line = 0;
    std::string message;
    std::string name;  // the card's FN when it came before the fault
};

struct CardReadResult {
    std::vector<CardContact> contacts;
    std::vector<CardProblem> problems;  // one per skipped card
};

// Reads every card of a file. Bytes may be UTF-8 (with or without a byte
// order mark), UTF-16 with a byte order mark, or Windows-1252. A malformed
// card is reported with its line number and skipped; the others are kept.
CardReadResult ReadCards(std::string_view bytes);

// One card as vCard 3.0: UTF-8, CRLF line ends, lines folded at 75 octets.
std::string WriteCard(const CardContact& contact);

// How the device files a contact: "Last, First", or whichever of them
// exists, or else the company; empty when the card names none of them.
std::string DeriveFileAs(const CardContact& contact);

// The name shown for a contact: its FN, else "First Last", else its FileAs.
std::string DisplayName(const CardContact& contact);

}  // namespace vcard
