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
        "Storgata 5\nBakgården", "Troms\xC3\xB8", "Troms", "9008",
        "+47 77 55 50 00", "+47 77 55 50 01", "+47 900 55 512", "+47 77 55 51 99", "+47 77 55 50 09",
        "ingrid@brandvold.example", "ib@private.example", "ingrid.b@third.example",
        "https://brandvold.example/path;x=1", "Room 4\\B", "Sales, North"};
    for (int i = 0; i < kCardTextFields; ++i)
        c.text[i] = values[i];
    c.birthday = CardDate{1976, 2, 29};
    c.categories = {"Kunder", "Nord, Vest", "VIP"};
    c.uid = "device-oid-1234";
    return c;
}

}  // namespace

TEST(CardWriting, RoundTripKeepsEveryField)
{
    const CardContact original = EveryField();
    const auto result = ReadCards(WriteCard(original));
    ASSERT_TRUE(result.problems.empty());
    ASSERT_EQ(1u, result.contacts.size());
    const CardContact& back = result.contacts[0];
    for (int i = 0; i < kCardTextFields; ++i)
        EXPECT_EQ(original.text[i], back.text[i]) << "field " << i;
    EXPECT_EQ(original.birthday, back.birthday);
    EXPECT_EQ(original.categories, back.categories);
    EXPECT_EQ(original.uid, back.uid);
}

TEST(CardWriting, RoundTripOfYearlessBirthdayAndNamelessContact)
{
    CardContact c;
    c.text[kEmail1] = "no-name@example.org";
    c.birthday = CardDate{0, 12, 31};
    const auto back = ReadCards(WriteCard(c));
    ASSERT_EQ(1u, back.contacts.size());
    EXPECT_EQ("no-name@example.org", back.contacts[0].text[kFileAs]);
    EXPECT_EQ(c.birthday, back.contacts[0].birthday);
    EXPECT_EQ("no-name@example.org", back.contacts[0].text[kEmail1]);
}

TEST(CardWriting, EveryProducerFileSurvivesExportAndReimport)
{
    for (const char* name : {"desktop_client_v21.vcf", "handset_v30.vcf", "webmail_v30.vcf", "address_book_v40.vcf"}) {
        const auto first = ReadCards(ReadTestCards(name));
        std::string exported;
        for (const auto& c : first.contacts)
            exported += WriteCard(c);
        const auto second = ReadCards(exported);
        ASSERT_EQ(first.contacts.size(), second.contacts.size()) << name;
        for (size_t i = 0; i < first.contacts.size(); ++i) {
            EXPECT_EQ(first.contacts[i].text, second.contacts[i].text) << name << " card " << i;
            EXPECT_EQ(first.contacts[i].birthday, second.contacts[i].birthday) << name;
            EXPECT_EQ(first.contacts[i].categories, second.contacts[i].categories) << name;
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

TEST(CardWriting, WritesVersion30WithWorkTypes)
{
    const std::string card = WriteCard(EveryField());
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
