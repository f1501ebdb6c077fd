#include "contacts/vcard/vcard.h"
#include "contacts/vcard/text_encoding.h"
#include "tests/vcard/card_files.h"
#include "tests/vcard/long_folded_card.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vcard;

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

// --- Encodings and line structure -------------------------------------------

// Phones, text-mode pipes and old desktops end lines differently; folded
// (by a blank or a tab) and soft-broken lines must join whichever it is (2.1
// folds keep the white space that starts the continuation); a blank with no
// line to continue, at the top or after an empty line, is only a blank.
TEST(CardEncoding, EveryLineEndKeepsFoldedLines)
{
    const std::string card = "\tBEGIN:VCARD|VERSION:3.0|FN:Ana Ruiz|ADR;TYPE=WORK:;;Calle Mayor 1;Sevi|\tlla;;41001;|"
                             "END:VCARD|| BEGIN:VCARD|VERSION:2.1|N:Ruiz;Ana|"
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
        EXPECT_EQ(8, result.contacts[1].line) << "one line end, one line";
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

    // A name and parameters of exactly the longest length kept still find
    // their value on the next line.
    const std::string head = "NOTE;X-P=" + std::string(64 * 1024 - 9, 'p');
    const auto longest = ReadCards("BEGIN:VCARD\r\nVERSION:3.0\r\n" + head + "\r\n :kept\r\nEND:VCARD\r\n");
    ASSERT_EQ(1u, longest.contacts.size());
    EXPECT_EQ("kept", longest.contacts[0].text[kNotes]);
}

TEST(CardEncoding, EscapesInValues)
{
    const auto result = ReadCards(
        "BEGIN:VCARD\nVERSION:3.0\nFN:Backslash\\\\Semi\\;Comma\\,Line\\nEnd\n"
        "ORG:A\\;B;Dept\\, West\nEND:VCARD\n");
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("Backslash\\Semi;Comma,Line\nEnd", result.contacts[0].fullName);
    EXPECT_EQ("A;B", result.contacts[0].text[kCompany]);
    EXPECT_EQ("Dept, West", result.contacts[0].text[kDepartment]);
}

// People are filed "Last, First" whatever FN says; FN is kept as the shown
// name. Only a card without names files under its company, and only one
// without a company under its FN, and one without an FN under its e-mail,
// or failing that its phone.
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
        "BEGIN:VCARD\nVERSION:3.0\nFN:\nN:;;;;\nTEL;TYPE=CELL:415-555-0166\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Ingrid Solberg\nN:Solberg;Ingrid;;;\n"
        "X-VANTARO-FILEAS:Ingrid (ferry)\nEND:VCARD\n");
    ASSERT_EQ(9u, result.contacts.size());
    const char* filed[] = {"Pruitt, Dale", "Quarry Supplies", "Pruitt, Dale", "Solberg, Ingrid", "Ingrid",
                           "Nordkapp AS", "x@example.org", "415-555-0166", "Ingrid (ferry)"};
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(filed[i], result.contacts[i].text[kFileAs]) << "card " << i;
    EXPECT_EQ("Ingrid Solberg", result.contacts[3].fullName);
    EXPECT_EQ("Ingrid Solberg", DisplayName(result.contacts[3]));
    EXPECT_EQ("Dale Pruitt", DisplayName(result.contacts[2]));
    EXPECT_EQ("Quarry Supplies", DisplayName(result.contacts[1]));
}

// --- Our own sample file ------------------------------------------------------

// The sample is what a new user meets first: every card a named person, and
// the list opens on a person in filing order.
TEST(SampleCards, FictionalPeopleAllNamed)
{
    const auto result = ReadCards(ReadCardFile(SAMPLE_CARD_FILE));
    EXPECT_TRUE(result.problems.empty());
    ASSERT_EQ(37u, result.contacts.size());
    std::vector<std::string> filed;
    for (const auto& c : result.contacts) {
        EXPECT_FALSE(c.text[kFirstName].empty() && c.text[kLastName].empty()) << "nameless card " << c.line;
        filed.push_back(c.text[kFileAs]);
    }
    EXPECT_NE(std::string::npos, std::min_element(filed.begin(), filed.end())->find(", "));
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
