#include "contacts/vcard/vcard.h"
#include "contacts/vcard/text_encoding.h"
#include "tests/vcard/card_files.h"
#include "tests/vcard/long_folded_card.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vcard;

namespace {

using Categories = std::vector<std::string>;

// Checks the named fields of a card; the others are not looked at.
void ExpectFields(const CardContact& card, std::initializer_list<std::pair<CardField, const char*>> fields)
{
    for (const auto& field : fields)
        EXPECT_EQ(field.second, card.text[field.first]) << "field " << field.first;
}

}  // namespace

// --- Files as different producers write them -------------------------------

TEST(CardProducers, DesktopClient21InWindows1252WithQuotedPrintable)
{
    const auto result = ReadCards(ReadTestCards("desktop_client_v21.vcf"));
    ASSERT_TRUE(result.problems.empty()) << result.problems[0].message;
    ASSERT_EQ(2u, result.contacts.size());

    const CardContact& j = result.contacts[0];
    EXPECT_EQ("Dr. J\xC3\xBCrgen Oberwald", j.fullName);
    // The work address wins over the home address listed before it; the
    // extended address goes on a second line of the street.
    ExpectFields(j, {{kFileAs, "Oberwald, J\xC3\xBCrgen"}, {kFirstName, "J\xC3\xBCrgen"}, {kLastName, "Oberwald"},
                     {kJobTitle, "Leiter Einkauf"}, {kCompany, "Kessling Pr\xC3\xA4zisionsteile GmbH"},
                     {kDepartment, "Einkauf"}, {kStreet, "Industriestra\xC3\x9F" "e 17\nGeb\xC3\xA4ude C"},
                     {kCity, "Stuttgart"}, {kState, "BW"}, {kPostalCode, "70565"},
                     {kBusinessPhone, "+49 711 555 0140"}, {kBusiness2Phone, "+49 711 555 0141"},
                     {kMobilePhone, "+49 170 555 8812"}, {kHomePhone, "+49 711 555 2291"},
                     {kBusinessFax, "+49 711 555 0199"}, {kEmail1, "j.oberwald@kessling-praezision.example"},
                     {kEmail2, "juergen.oberwald@mailbox.example"}, {kEmail3, ""},
                     {kWebPage, "http://www.kessling-praezision.example/"}});
    EXPECT_EQ((CardDate{1968, 4, 12}), j.birthday);
    // 2.1 writers separate categories with semicolons.
    EXPECT_EQ((Categories{"Lieferanten", "Schl\xC3\xBCsselkunden"}), j.categories);
    // The photo has no field and is kept as written; the label and the
    // file's own data are left out.
    EXPECT_TRUE(j.unkept.empty());
    ASSERT_EQ(1u, j.extras.size());
    EXPECT_EQ(0u, j.extras[0].find("PHOTO;TYPE=JPEG;ENCODING=BASE64:"));

    const CardContact& r = result.contacts[1];
    ExpectFields(r, {{kFileAs, "Falkenrath, Ren\xC3\xA9" "e"}, {kStreet, "Am Wall 12\nHinterhaus"},
                     {kCity, "Bremen"}, {kPostalCode, "28195"}});
    EXPECT_FALSE(r.birthday.Present());
}

TEST(CardProducers, Handset30WithGroupsPreferencesAndYearlessBirthday)
{
    const auto result = ReadCards(ReadTestCards("handset_v30.vcf"));
    ASSERT_TRUE(result.problems.empty()) << result.problems[0].message;
    ASSERT_EQ(2u, result.contacts.size());

    const CardContact& a = result.contacts[0];
    // The title is folded in the middle of its en dash; the preferred untyped
    // number comes first among the business numbers.
    ExpectFields(a, {{kFileAs, "L\xC3\xA9v\xC3\xAAque, Am\xC3\xA9lie"}, {kLastName, "L\xC3\xA9v\xC3\xAAque"},
                     {kJobTitle, "Responsable des op\xC3\xA9rations logistiques pour r\xC3\xA9gion "
                                 "\xC3\x8Ele-de-France \xE2\x80\x93 Hauts-de-France"},
                     {kCompany, "Transports Ferrand & Fils"}, {kDepartment, "Logistique"},
                     {kBusinessPhone, "+33 1 55 55 12 34"}, {kBusiness2Phone, "+33 1 55 55 12 00"},
                     {kMobilePhone, "+33 6 55 55 98 76"}, {kHomePhone, "+33 1 55 55 44 21"},
                     {kEmail1, "amelie.l@courriel.example"}, {kEmail2, "amelie.leveque@ferrand-transports.example"},
                     {kStreet, "14 rue des Entrep\xC3\xB4ts"}, {kCity, "Gennevilliers"}, {kPostalCode, "92230"},
                     {kWebPage, "https://ferrand-transports.example"}});
    EXPECT_EQ((CardDate{0, 3, 9}), a.birthday);

    const CardContact& p = result.contacts[1];
    ExpectFields(p, {{kFileAs, "Pizzeria Da Gennaro"}, {kFirstName, ""}, {kBusinessPhone, "+39 081 555 7272"}});
    EXPECT_EQ((CardDate{1975, 11, 30}), p.birthday);
}

TEST(CardProducers, Webmail30WithCategoriesAndNamelessCard)
{
    const auto result = ReadCards(ReadTestCards("webmail_v30.vcf"));
    ASSERT_TRUE(result.problems.empty()) << result.problems[0].message;
    ASSERT_EQ(3u, result.contacts.size());

    const CardContact& t = result.contacts[0];
    // Only a home address: it goes to the home fields, not the business ones.
    ExpectFields(t, {{kFileAs, "Marquardt, Tobias"}, {kEmail1, "t.marquardt@hafenkontor.example"},
                     {kEmail2, "tobi.m@webpost.example"}, {kEmail3, "tm1979@altmail.example"},
                     {kMobilePhone, "+49 151 5550 2277"}, {kBusinessPhone, "+49 40 555 8100"},
                     {kHomeStreet, "Elbchaussee 301"}, {kStreet, ""}, {kCompany, "Hafenkontor Nord"},
                     {kJobTitle, "Disponent"}});
    EXPECT_EQ((CardDate{1979, 8, 23}), t.birthday);
    // The reader keeps what the card says; the device's limits apply on import.
    EXPECT_EQ((Categories{"myContacts", "Hafen, Logistik", "Kunden", "Ausschreibung Hafenerweiterung 2027"}),
              t.categories);

    ExpectFields(result.contacts[1], {{kFileAs, "newsletter-bounce@versand.example"},
                                      {kEmail1, "newsletter-bounce@versand.example"}});
    // A home fax never replaces the work fax, and a fax is not a home phone.
    ExpectFields(result.contacts[2], {{kBusinessFax, "+49 30 555 6001"}, {kBusinessPhone, "+49 30 555 6000"},
                                      {kBusiness2Phone, "+49 30 555 6010"}, {kHomePhone, ""}});
}

TEST(CardProducers, AddressBook40WithUrisAndPreferenceRanks)
{
    const auto result = ReadCards(ReadTestCards("address_book_v40.vcf"));
    ASSERT_TRUE(result.problems.empty()) << result.problems[0].message;
    ASSERT_EQ(1u, result.contacts.size());
    const CardContact& s = result.contacts[0];
    // PREF=1 before PREF=2.
    ExpectFields(s, {{kFileAs, "Halvorsen-Nygaard, S\xC3\xB8ren"}, {kCompany, "Fjordlys Energi AS"},
                     {kDepartment, "Prosjektavdeling"}, {kBusinessPhone, "+47-55-55-90-11"},
                     {kBusiness2Phone, "+47-55-55-90-00"}, {kHomePhone, "+47-55-55-01-02"},
                     {kMobilePhone, "+47-455-55-123"}, {kEmail1, "soren.hn@fjordlys.example"},
                     {kEmail2, "soren@heimenett.example"}, {kStreet, "Kanalveien 40"}, {kState, "Vestland"},
                     {kPostalCode, "5068"}, {kWebPage, "https://fjordlys.example/prosjekt"}});
    EXPECT_EQ((CardDate{0, 7, 4}), s.birthday);
    EXPECT_EQ((Categories{"Energi", "Norge"}), s.categories);
    EXPECT_EQ("urn:uuid:5b0c2f5e-7a31-4d8e-9f0a-3c2d1e0f4a77", s.uid);
}

// --- Broken input ----------------------------------------------------------

TEST(CardProblems, MalformedCardsAreReportedByLineAndSkipped)
{
    const auto result = ReadCards(ReadTestCards("partly_broken.vcf"));
    ASSERT_EQ(2u, result.contacts.size());
    EXPECT_EQ("Lindqvist, Greta", result.contacts[0].text[kFileAs]);
    EXPECT_EQ("Olav Brekke", result.contacts[1].text[kFileAs]);
    EXPECT_EQ(17, result.contacts[1].line);

    ASSERT_EQ(4u, result.problems.size());
    EXPECT_EQ(9, result.problems[0].line);
    EXPECT_NE(std::string::npos, result.problems[0].message.find("this line lost"));
    EXPECT_EQ("Half Written", result.problems[0].name) << "the FN read before the fault names the card";
    EXPECT_EQ(15, result.problems[1].line);
    EXPECT_NE(std::string::npos, result.problems[1].message.find("BDAY"));
    EXPECT_EQ(23, result.problems[2].line);
    EXPECT_EQ(26, result.problems[3].line);
    EXPECT_EQ("card has no END:VCARD", result.problems[3].message);
}

TEST(CardProblems, CardCutOffByTheNextBeginIsReported)
{
    const auto result = ReadCards("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:First\r\n"
                                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Second\r\nEND:VCARD\r\n");
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("Second", result.contacts[0].text[kFileAs]);
    ASSERT_EQ(1u, result.problems.size());
    EXPECT_EQ(1, result.problems[0].line);
}

TEST(CardProblems, HostileBytesNeitherCrashNorProduceInvalidText)
{
    std::string junk = "BEGIN:VCARD\nVERSION:3.0\nFN:\xFF\xFE\x80\nN:;;;;;;;;;;;;\n"
                       "ADR:;\nTEL;TYPE=\"unterminated:1\nBDAY:--13\nEND:VCARD\n"
                       "BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE:=4\nEND:VCARD\n"
                       "BEGIN:VCARD\nFN:x\nEND:VCARD\n\x01" "BEGIN";
    junk.push_back('\0');
    const auto result = ReadCards(junk);
    EXPECT_EQ(2u, result.contacts.size());
    for (const auto& c : result.contacts)
        for (const auto& t : c.text)
            EXPECT_TRUE(IsValidUtf8(t));
}

TEST(CardProducers, NamelessCardsFileUnderTheirCompanyMailOrPhone)
{
    const auto result = ReadCards(ReadTestCards("nameless_v30.vcf"));
    ASSERT_TRUE(result.problems.empty());
    ASSERT_EQ(3u, result.contacts.size());
    EXPECT_EQ("Metro Courier Dispatch", result.contacts[0].text[kFileAs]);
    EXPECT_EQ("orders-noreply@shopfront.example", result.contacts[1].text[kFileAs]);
    EXPECT_EQ("415-555-0166", result.contacts[2].text[kFileAs]);
    EXPECT_EQ("415-555-0166", result.contacts[2].text[kMobilePhone]);
}

// --- Encodings and line structure -------------------------------------------

TEST(CardEncoding, Utf16FileWithByteOrderMark)
{
    const std::u16string text = u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\u0141ucja \u017Bak \U0001F338\r\nEND:VCARD\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    const auto result = ReadCards(bytes);
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("\xC5\x81ucja \xC5\xBB" "ak \xF0\x9F\x8C\xB8", result.contacts[0].text[kFileAs]);
}

TEST(CardEncoding, FoldsJoinBytesBeforeDecoding)
{
    // "Zoë" with the fold between the two bytes of the ë.
    const auto v3 = ReadCards("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zo\xC3\r\n \xAB Quist\r\nEND:VCARD\r\n");
    ASSERT_EQ(1u, v3.contacts.size());
    EXPECT_EQ("Zo\xC3\xAB Quist", v3.contacts[0].text[kFileAs]);
}

// Phones, text-mode pipes and old desktops end lines differently; folded
// and soft-broken lines must join whichever it is (2.1 folds keep the white
// space that starts the continuation).
TEST(CardEncoding, EveryLineEndKeepsFoldedLines)
{
    const std::string card = "BEGIN:VCARD|VERSION:3.0|FN:Ana Ruiz|ADR;TYPE=WORK:;;Calle Mayor 1;Sevi| lla;;41001;|"
                             "END:VCARD|BEGIN:VCARD|VERSION:2.1|N:Ruiz;Ana|"
                             "NOTE;ENCODING=QUOTED-PRINTABLE:one=|two|TITLE:Jefa| de ventas|END:VCARD|";
    for (const char* end : {"\r\n", "\n", "\r", "\r\r\n"}) {
        std::string bytes;
        for (char c : card)
            c == '|' ? bytes += end : bytes += c;
        const auto result = ReadCards(bytes);
        ASSERT_TRUE(result.problems.empty()) << result.problems[0].line << ": " << result.problems[0].message;
        ASSERT_EQ(2u, result.contacts.size());
        EXPECT_EQ("Sevilla", result.contacts[0].text[kCity]);
        EXPECT_EQ("Jefa de ventas", result.contacts[1].text[kJobTitle]);
        EXPECT_EQ(7, result.contacts[1].line) << "one line end, one line";
    }
}

TEST(CardProblems, FourMegabyteFoldedLineWithoutColonIsRefusedAlone)
{
    const auto result = ReadCards(LongFoldedCard(4 << 20));
    ASSERT_EQ(2u, result.contacts.size());
    EXPECT_EQ("Before", result.contacts[0].text[kFileAs]);
    EXPECT_EQ("After", result.contacts[1].text[kFileAs]);
    ASSERT_EQ(1u, result.problems.size());
    EXPECT_EQ(7, result.problems[0].line);
    EXPECT_EQ(0u, result.problems[0].message.find("expected a property, found \"NOTExxx")) << result.problems[0].message;
    EXPECT_LT(result.problems[0].message.size(), 80u);
}

TEST(CardEncoding, EscapesAndCharsetParameter)
{
    const auto result = ReadCards(
        "BEGIN:VCARD\nVERSION:3.0\nFN:Backslash\\\\Semi\\;Comma\\,Line\\nEnd\n"
        "ORG:A\\;B;Dept\\, West\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=ISO-8859-1:Fran\xE7ois\nEND:VCARD\n");
    ASSERT_EQ(2u, result.contacts.size());
    EXPECT_EQ("Backslash\\Semi;Comma,Line\nEnd", result.contacts[0].fullName);
    EXPECT_EQ("A;B", result.contacts[0].text[kCompany]);
    EXPECT_EQ("Dept, West", result.contacts[0].text[kDepartment]);
    EXPECT_EQ("Fran\xC3\xA7ois", result.contacts[1].text[kFileAs]);
}

// People are filed "Last, First" whatever FN says; FN is kept as the shown
// name. Only a card without names files under its company, and only one
// without a company under its FN, and one without an FN under its e-mail.
TEST(CardFiling, FiledAsTheDeviceFilesPeople)
{
    const auto result = ReadCards(
        "BEGIN:VCARD\nVERSION:2.1\nN:Pruitt;Dale\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:2.1\nORG:Quarry Supplies\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:\nN:Pruitt;Dale;;;\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Ingrid Solberg\nN:Solberg;Ingrid;;;\nORG:Nordkapp AS\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:4.0\nFN:Ingrid\nN:;Ingrid;;;\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Front desk\nN:;;;;\nORG:Nordkapp AS\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:\nN:;;;;\nEMAIL:x@example.org\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Ingrid Solberg\nN:Solberg;Ingrid;;;\n"
        "X-VANTARO-FILEAS:Ingrid (ferry)\nEND:VCARD\n");
    ASSERT_EQ(8u, result.contacts.size());
    const char* filed[] = {"Pruitt, Dale", "Quarry Supplies", "Pruitt, Dale", "Solberg, Ingrid",
                           "Ingrid", "Nordkapp AS", "x@example.org", "Ingrid (ferry)"};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(filed[i], result.contacts[i].text[kFileAs]) << "card " << i;
    EXPECT_EQ("Ingrid Solberg", result.contacts[3].fullName);
    EXPECT_EQ("Ingrid Solberg", DisplayName(result.contacts[3]));
    EXPECT_EQ("Dale Pruitt", DisplayName(result.contacts[2]));
    EXPECT_EQ("Quarry Supplies", DisplayName(result.contacts[1]));
}

// --- Our own sample file ------------------------------------------------------

// The sample is what a new user meets first: the list opens on its first
// contact in filing order, which must be a person.
TEST(SampleCards, FictionalPeopleOfSeveralKindsAllNamed)
{
    const auto result = ReadCards(ReadCardFile(SAMPLE_CARD_FILE));
    EXPECT_TRUE(result.problems.empty());
    ASSERT_EQ(37u, result.contacts.size());
    std::vector<std::string> filed;
    size_t birthdays = 0, addresses = 0, severalPhones = 0, severalMails = 0;
    Categories categories;
    for (const auto& c : result.contacts) {
        EXPECT_FALSE(c.text[kFirstName].empty() && c.text[kLastName].empty()) << "nameless card " << c.line;
        filed.push_back(c.text[kFileAs]);
        birthdays += c.birthday.Present();
        addresses += !c.text[kStreet].empty() && !c.text[kCity].empty();
        int phones = 0;
        for (int f = kBusinessPhone; f <= kBusinessFax; ++f)
            phones += !c.text[f].empty();
        severalPhones += phones >= 2;
        severalMails += !c.text[kEmail2].empty();
        for (const auto& cat : c.categories)
            if (std::find(categories.begin(), categories.end(), cat) == categories.end())
                categories.push_back(cat);
    }
    std::sort(filed.begin(), filed.end());
    EXPECT_NE(std::string::npos, filed.front().find(", ")) << "first in the list: \"" << filed.front() << "\"";
    EXPECT_GE(birthdays, 10u);
    EXPECT_GE(addresses, 20u);
    EXPECT_GE(severalPhones, 20u);
    EXPECT_GE(severalMails, 5u);
    EXPECT_GE(categories.size(), 5u);
}

// --- Damaged files ------------------------------------------------------------------

TEST(CardProblems, MutatedProducerFilesNeverBreakTheReader)
{
    // Bytes flipped, dropped and duplicated at pseudo-random places; the
    // reader must neither crash (the sanitizer build watches) nor produce
    // text that is not UTF-8.
    const std::string originals[] = {ReadTestCards("desktop_client_v21.vcf"), ReadTestCards("handset_v30.vcf"),
                                     ReadTestCards("address_book_v40.vcf")};
    const char replacements[] = {'\0', '\r', '\n', ':', ';', '=', '\\', ',', '"', ' ', '\xC3', '\xFF'};
    unsigned state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 600; ++round) {
        std::string bytes = originals[round % 3];
        for (int edit = 0; edit < 1 + round % 7; ++edit) {
            const size_t at = next() % bytes.size();
            switch (next() % 3) {
            case 0: bytes[at] = replacements[next() % sizeof replacements]; break;
            case 1: bytes.erase(at, 1 + next() % 20); break;
            default: bytes.insert(at, bytes.substr(next() % bytes.size(), 1 + next() % 30)); break;
            }
            if (bytes.empty())
                bytes = "x";
        }
        const auto result = ReadCards(bytes);
        for (const auto& contact : result.contacts) {
            for (const auto& text : contact.text)
                ASSERT_TRUE(IsValidUtf8(text)) << "round " << round;
            for (const auto& category : contact.categories)
                ASSERT_TRUE(IsValidUtf8(category)) << "round " << round;
        }
        for (const auto& problem : result.problems)
            ASSERT_GE(problem.line, 1) << "round " << round;
    }
}
