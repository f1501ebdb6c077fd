#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"
#include "tests/vcard/card_files.h"

#include <gtest/gtest.h>

using namespace vcard;

namespace {

CardContact EveryField()
{
    CardContact c;
    const char* values[kCardTextFields] = {
        "Brandvold, Ingrid", "Ingrid", "Brandvold", "Head of Sales; EMEA", "Brandvold, Lie & Co.",
        "Storgata 5\nBakg\xC3\xA5rden", "Troms\xC3\xB8", "Troms", "9008",
        "+47 77 55 50 00", "+47 77 55 50 01", "+47 900 55 512", "+47 77 55 51 99", "+47 77 55 50 09",
        "ingrid@brandvold.example", "ib@private.example", "ingrid.b@third.example",
        "https://brandvold.example/path;x=1", "Room 4\\B", "Sales, North"};
    for (int i = 0; i < kCardTextFields; ++i)
        c.text[i] = values[i];
    // Each further field a value of its own, with the characters a card
    // must escape.
    for (int i = kCardTextFields; i < kCardFields; ++i)
        c.text[i] = "v" + std::to_string(i) + (i % 2 ? "; a, b\\c" : "\nsecond line");
    c.birthday = CardDate{1976, 2, 29};
    c.anniversary = CardDate{1, 6, 1};  // the first year there is
    c.categories = {"Kunder", "Nord, Vest", "VIP"};
    c.uid = "device-oid-1234";
    c.extras = {"X-UNKNOWN;P=1:kept as it came", "item1.X-ABLabel:_$!<Other>!$_"};
    return c;
}

// What a row of the producer table looks at besides the text fields.
enum CardPart { kBirthday = kCardFields, kAnniversary, kCategories, kExtraHeads, kFullName, kUid };

std::string Part(const CardContact& c, int part)
{
    auto date = [](const CardDate& d) {
        return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
    };
    auto join = [](const std::vector<std::string>& items, bool heads) {
        std::string text;
        for (const auto& item : items)
            text += (text.empty() ? "" : "|") + (heads ? item.substr(0, item.find(':')) : item);
        return text;
    };
    switch (part) {
    case kBirthday: return date(c.birthday);
    case kAnniversary: return date(c.anniversary);
    case kCategories: return join(c.categories, false);
    case kExtraHeads: return join(c.extras, true);
    case kFullName: return c.fullName;
    case kUid: return c.uid;
    default: return c.text[part];
    }
}

}  // namespace

// Cards as producers write them: what each card must give the contact, and
// that an export read back gives all of it again.
TEST(CardWriting, EveryProducerFileSurvivesExportAndReimport)
{
    struct Expected {
        size_t card;
        int part;
        const char* value;
    };
    const struct {
        const char* file;
        std::vector<Expected> parts;
    } producers[] = {
        // Windows-1252 with quoted-printable; the work address wins over the
        // home one listed before it, the extended address on a second line;
        // 2.1 categories are separated by semicolons; the photo is kept as
        // written, the label and the file's own data left out.
        {"desktop_client_v21.vcf",
         {{0, kFullName, "Dr. J\xC3\xBCrgen Oberwald"}, {0, kFileAs, "Oberwald, J\xC3\xBCrgen"},
          {0, kCompany, "Kessling Pr\xC3\xA4zisionsteile GmbH"}, {0, kDepartment, "Einkauf"},
          {0, kStreet, "Industriestra\xC3\x9F" "e 17\nGeb\xC3\xA4ude C"}, {0, kState, "BW"},
          {0, kBusinessPhone, "+49 711 555 0140"}, {0, kBusiness2Phone, "+49 711 555 0141"},
          {0, kMobilePhone, "+49 170 555 8812"}, {0, kHomePhone, "+49 711 555 2291"},
          {0, kBusinessFax, "+49 711 555 0199"}, {0, kEmail2, "juergen.oberwald@mailbox.example"}, {0, kEmail3, ""},
          {0, kWebPage, "http://www.kessling-praezision.example/"}, {0, kBirthday, "1968-4-12"},
          {0, kCategories, "Lieferanten|Schl\xC3\xBCsselkunden"}, {0, kExtraHeads, "PHOTO;TYPE=JPEG;ENCODING=BASE64"},
          {1, kFileAs, "Falkenrath, Ren\xC3\xA9" "e"}, {1, kStreet, "Am Wall 12\nHinterhaus"}, {1, kBirthday, "0-0-0"}}},
        // Groups, a title folded inside its en dash, the preferred untyped
        // number first among the business numbers, a birthday without a year.
        {"handset_v30.vcf",
         {{0, kFileAs, "L\xC3\xA9v\xC3\xAAque, Am\xC3\xA9lie"},
          {0, kJobTitle, "Responsable des op\xC3\xA9rations logistiques pour r\xC3\xA9gion "
                         "\xC3\x8Ele-de-France \xE2\x80\x93 Hauts-de-France"},
          {0, kBusinessPhone, "+33 1 55 55 12 34"}, {0, kBusiness2Phone, "+33 1 55 55 12 00"},
          {0, kEmail1, "amelie.l@courriel.example"}, {0, kEmail2, "amelie.leveque@ferrand-transports.example"},
          {0, kStreet, "14 rue des Entrep\xC3\xB4ts"}, {0, kWebPage, "https://ferrand-transports.example"},
          {0, kBirthday, "0-3-9"}, {1, kFileAs, "Pizzeria Da Gennaro"}, {1, kBirthday, "1975-11-30"}}},
        // Only a home address goes to the home fields; a nameless card files
        // under its mail; a home fax never replaces the work fax.
        {"webmail_v30.vcf",
         {{0, kEmail3, "tm1979@altmail.example"}, {0, kHomeStreet, "Elbchaussee 301"}, {0, kStreet, ""},
          {0, kCategories, "myContacts|Hafen, Logistik|Kunden|Ausschreibung Hafenerweiterung 2027"},
          {1, kFileAs, "newsletter-bounce@versand.example"}, {2, kBusinessFax, "+49 30 555 6001"},
          {2, kBusiness2Phone, "+49 30 555 6010"}, {2, kHomePhone, ""}}},
        // URIs and preference ranks: PREF=1 before PREF=2.
        {"address_book_v40.vcf",
         {{0, kFileAs, "Halvorsen-Nygaard, S\xC3\xB8ren"}, {0, kBusinessPhone, "+47-55-55-90-11"},
          {0, kBusiness2Phone, "+47-55-55-90-00"}, {0, kHomePhone, "+47-55-55-01-02"},
          {0, kMobilePhone, "+47-455-55-123"}, {0, kEmail1, "soren.hn@fjordlys.example"},
          {0, kEmail2, "soren@heimenett.example"}, {0, kBirthday, "0-7-4"}, {0, kCategories, "Energi|Norge"},
          {0, kUid, "urn:uuid:5b0c2f5e-7a31-4d8e-9f0a-3c2d1e0f4a77"}}},
        {"desktop_client_full_v21.vcf",
         {{0, kMiddleName, "Margit"}, {0, kNamePrefix, "Prof. Dr."}, {0, kNameSuffix, "MBA"},
          {0, kNickname, "Hanne"}, {0, kHome2Phone, "+49 511 555 2001"}, {0, kHomeFax, "+49 511 555 2009"},
          {0, kPager, "+49 511 555 4000"}, {0, kCarPhone, "+49 171 555 5000"}, {0, kCountry, "Deutschland"},
          {0, kHomeStreet, "Gr\xC3\xBCner Weg 7"}, {0, kHomePostalCode, "30916"},
          {0, kOtherStreet, "Postfach 1122"}, {0, kOtherCity, "Hannover"}, {0, kSpouse, "J\xC3\xB6rg Br\xC3\xBC" "ckner"},
          {0, kChildren, "Lena, Paul"}, {0, kAssistant, "Sabine Kranz"}, {0, kInstantMessage1, "hanne.b@chat.example"},
          {0, kNotes, "Erstkontakt auf der Hannover Messe.\nBevorzugt E-Mail, nie vor 9 Uhr anrufen "
                      "\xE2\x80\x93 Sekretariat wei\xC3\x9F Bescheid."},
          {0, kAnniversary, "1994-5-21"}}},
        {"webmail_full_v30.vcf",
         {{0, kNameSuffix, "Jr."}, {0, kHomeStreet, "12 Admiralty Way\nFlat 4"}, {0, kHomeState, "Lagos State"},
          {0, kHomeCountry, "Nigeria"}, {0, kCity, "Apapa"}, {0, kInstantMessage1, "xmpp:raf@talk.example"},
          {0, kInstantMessage2, "icq:44556677"}, {0, kWebPage, "https://raf.example/blog"}, {0, kSpouse, "Chioma"},
          {0, kAnniversary, "2012-6-16"}}},
        {"address_app_full_v30.vcf",
         {{0, kPhoneticFirstName, "\xE3\x83\xA6\xE3\x82\xAD"}, {0, kPhoneticLastName, "\xE3\x82\xBF\xE3\x82\xAB\xE3\x83\x8F\xE3\x82\xB7"},
          {0, kDepartment, "Lens Design"}, {0, kEmail1, "yuki@sakura-optics.example"}, {0, kHomeCity, "Shibuya-ku"},
          {0, kInstantMessage1, "skype:yuki.takahashi"}, {0, kInstantMessage2, "aim:yukitaka"}, {0, kSpouse, "Hiroshi Takahashi"}}},
        {"handset_full_v21.vcf",
         {{0, kLastName, "\xC5\x81ukasiewicz"}, {0, kPhoneticLastName, "Wukashevich"},
          {0, kAssistantPhone, "+48 22 555 3435"}, {0, kRadioPhone, "+48 22 555 7777"},
          {0, kOtherCity, "Sopot"}, {0, kNotes, "Zna dobrze rynek prasowy.\nKontakt przez asystenta."},
          {0, kInstantMessage2, "skype:zofia.lukasiewicz"}, {0, kNickname, "Zosia"}, {0, kSpouse, "Marek"}}},
        {"desktop_suite_v30_v40.vcf",
         {{0, kStreet, "40 Chart Street\nSuite 12"}, {0, kOtherStreet, "PO Box 77"}, {0, kSpouse, "Daniel Reyes"},
          {0, kAssistantPhone, "+44 20 5555 0101"}, {0, kDepartment, "Survey, Coastal Unit"},
          {1, kNameSuffix, "PhD"}, {1, kSpouse, "Ama Annor-Whitfield"}, {1, kChildren, "Yaw, Esi"},
          {1, kPager, "+233 30 555 0040"}, {1, kBusinessFax, "+233 30 555 0011"}, {1, kCountry, "Ghana"},
          {1, kInstantMessage1, "xmpp:kofi@chat.tidalworks.example"}, {1, kAnniversary, "2015-9-12"}}},
        // Exported by the programs themselves (make_produced_cards.sh).
        {"produced_by_abook.vcf", {{0, kNickname, "Lodie"}, {0, kStreet, "N\xC3\xB8rre Voldgade 12\n3. sal"}}},
        {"produced_by_evolution_v21.vcf",
         {{0, kNotes, "M\xC3\xB8" "dt p\xC3\xA5 messen i Hannover.\nFortr\xC3\xA6kker e-mail; ring aldrig f\xC3\xB8r kl. 9 "
                      "\xE2\x80\x94 sekretariatet ved besked."},
          {0, kRadioPhone, "+45 70 55 00 03"}, {0, kAssistantPhone, "+45 33 55 01 20"}}},
        {"produced_by_evolution_v30.vcf",
         {{0, kRadioPhone, "+45 70 55 00 03"}, {0, kAssistant, "Signe Holm"}, {0, kSpouse, "Mads Br\xC3\xB8nstad"},
          {0, kEmail3, "e.bn@forening.example"}, {0, kWebPage, "https://hafnia-instruments.example/akustik"},
          {0, kInstantMessage3, "icq:123456789"}, {0, kOtherStreet, "Sommerhusvej 7\nPostboks 44"},
          {0, kAnniversary, "2010-6-19"},
          {0, kExtraHeads, "X-EVOLUTION-FILE-AS|ROLE|X-EVOLUTION-MANAGER|X-EVOLUTION-BLOG-URL|CALURI|FBURL|"
                           "X-EVOLUTION-VIDEO-URL|X-AIM;TYPE=HOME|PHOTO;TYPE=png;ENCODING=b|TEL;TYPE=VOICE|"
                           "TEL;TYPE=\"X-EVOLUTION-COMPANY\"|TEL;TYPE=ISDN|TEL;TYPE=FAX|TEL;TYPE=\"X-EVOLUTION-TELEX\"|"
                           "EMAIL;TYPE=OTHER"}}},
        {"produced_by_khard_v30.vcf",
         {{0, kInstantMessage2, "skype:elodie.bn"}, {0, kHomeFax, "+45 35 55 12 19"}, {0, kAnniversary, "2010-6-19"}}},
        {"produced_by_khard_v40.vcf",
         {{0, kCarPhone, "+45 40 55 88 02"}, {0, kBusiness2Phone, ""}, {0, kAnniversary, "2010-6-19"}}},
        {"produced_by_gammu.vcf", {{0, kHomeCountry, "Danmark"}, {0, kPager, "+4570550001"}}},
    };
    for (const auto& producer : producers) {
        const auto first = ReadCards(ReadTestCards(producer.file));
        ASSERT_TRUE(first.problems.empty()) << producer.file << ": " << first.problems[0].message;
        for (const Expected& e : producer.parts)
            EXPECT_EQ(e.value, Part(first.contacts.at(e.card), e.part)) << producer.file << " part " << e.part;
        std::string exported;
        for (const auto& c : first.contacts)
            exported += WriteCard(c);
        const auto second = ReadCards(exported);
        ASSERT_EQ(first.contacts.size(), second.contacts.size()) << producer.file;
        for (size_t i = 0; i < first.contacts.size(); ++i) {
            EXPECT_TRUE(first.contacts[i].unkept.empty()) << producer.file << " card " << i;
            ExpectSameContact(first.contacts[i], second.contacts[i], producer.file + (" card " + std::to_string(i)));
        }
    }
}

TEST(CardWriting, LongLinesFoldAt75OctetsOnCharacterBoundaries)
{
    CardContact c;
    c.text[kFileAs] = "x";
    std::string title;
    for (int i = 0; i < 60; ++i)
        title += "\xC3\xA6\xE2\x82\xAC";  // æ€: two- and three-byte characters
    c.text[kJobTitle] = title;
    const std::string card = WriteCard(c);
    size_t start = 0;
    int continuations = 0;
    while (start < card.size()) {
        const size_t end = card.find("\r\n", start);
        ASSERT_NE(std::string::npos, end) << "every line ends with CRLF";
        const std::string line = card.substr(start, end - start);
        EXPECT_LE(line.size(), 75u);
        EXPECT_TRUE(IsValidUtf8(line.substr(line.rfind(' ', 0) == 0 ? 1 : 0))) << line;
        continuations += line.rfind(' ', 0) == 0;
        start = end + 2;
    }
    EXPECT_GE(continuations, 3);
    EXPECT_EQ(title, ReadCards(card).contacts.at(0).text[kJobTitle]);
}

TEST(CardWriting, WritesVersion30WithWorkTypesAndReadsBackEveryField)
{
    const CardContact original = EveryField();
    const std::string card = WriteCard(original);
    const auto result = ReadCards(card);
    ASSERT_TRUE(result.problems.empty());
    ASSERT_EQ(1u, result.contacts.size());
    ExpectSameContact(original, result.contacts[0], "written card");
    EXPECT_EQ(0u, card.find("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_NE(std::string::npos, card.find("\r\nTEL;TYPE=WORK,FAX:+47 77 55 50 09\r\n"));
    EXPECT_NE(std::string::npos, card.find("\r\nCATEGORIES:Kunder,Nord\\, Vest,VIP\r\n"));
    EXPECT_NE(std::string::npos, card.find("\r\nBDAY:1976-02-29\r\n"));
    EXPECT_EQ(card.size() - 11, card.rfind("END:VCARD\r\n"));
}

TEST(CardWriting, FnIsTheShownNameAndAnOwnFilingNameTravelsBeside)
{
    CardContact c;
    c.text[kFileAs] = "Solberg, Ingrid";
    c.text[kFirstName] = "Ingrid";
    c.text[kLastName] = "Solberg";
    std::string card = WriteCard(c);
    EXPECT_NE(std::string::npos, card.find("\r\nFN:Ingrid Solberg\r\n")) << card;
    EXPECT_EQ(std::string::npos, card.find("X-VANTARO-FILEAS")) << card;
    EXPECT_EQ(std::string::npos, card.find("ADR")) << "no address, no empty ADR lines";

    c.text[kFileAs] = "Ingrid (ferry)";
    card = WriteCard(c);
    EXPECT_NE(std::string::npos, card.find("\r\nFN:Ingrid Solberg\r\n")) << card;
    const auto back = ReadCards(card);
    ASSERT_EQ(1u, back.contacts.size());
    EXPECT_EQ("Ingrid (ferry)", back.contacts[0].text[kFileAs]);

    // A card read from a file keeps its own FN.
    const auto read = ReadCards("BEGIN:VCARD\nVERSION:3.0\nFN:Dr. Ingrid Solberg\nN:Solberg;Ingrid;;Dr.;\nEND:VCARD\n");
    ASSERT_EQ(1u, read.contacts.size());
    EXPECT_NE(std::string::npos, WriteCard(read.contacts[0]).find("\r\nFN:Dr. Ingrid Solberg\r\n"));
}
