// Cards at the edges of what the reader and writer accept: line ends,
// encodings, parameters, dates and folding.
#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace vcard;

namespace {

CardReadResult ReadOne(const std::string& body, const char* version = "3.0")
{
    return ReadCards("BEGIN:VCARD\r\nVERSION:" + std::string(version) + "\r\n" + body + "END:VCARD\r\n");
}

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace

TEST(CardBoundaries, Utf16FilesOfBothByteOrdersWithSurrogatePairs)
{
    // "Jürgen 😀" (U+1F600 as a pair) and U+1F7FF, whose low half is DFFF.
    const std::u16string card = u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:J\u00FCrgen \U0001F600\r\n"
                                u"TITLE:\U0001F7FF\r\nEND:VCARD\r\n";
    for (bool bigEndian : {false, true}) {
        const auto result = ReadCards(Utf16(card, bigEndian));
        ASSERT_EQ(1u, result.contacts.size()) << bigEndian;
        EXPECT_EQ("J\xC3\xBCrgen \xF0\x9F\x98\x80", result.contacts[0].fullName) << bigEndian;
        EXPECT_EQ("\xF0\x9F\x9F\xBF", result.contacts[0].text[kJobTitle]) << bigEndian;
    }
    // A stray byte of a byte order mark is no mark: the card after it is read.
    for (const char* stray : {"\xFE\r\n", "\xFF\r\n", "x\xFE\r\n", "x\xFF\r\n"})
        EXPECT_EQ(1u, ReadCards(stray + std::string("BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n")).contacts.size());
    // The last pair of all: U+10FFFF.
    EXPECT_EQ("\xF4\x8F\xBF\xBF", Utf16ToUtf8("\xDB\xFF\xDF\xFF", true));
    // A lone surrogate, first or last of its range, becomes U+FFFD.
    EXPECT_EQ("\xEF\xBF\xBD" "a", Utf16ToUtf8(std::string("\x00\xD8\x61\x00", 4), false));
    EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(std::string("\xDF\xFF", 2), true));
    EXPECT_EQ("\xEF\xBF\xBD", WideToUtf8(std::wstring(1, wchar_t(0xD800))));
    EXPECT_EQ("\xEF\xBF\xBD", WideToUtf8(std::wstring(1, wchar_t(0xDFFF))));
}

TEST(CardBoundaries, CharsetsNamedLatinAreReadAsWindows1252)
{
    for (const char* charset : {"ISO-8859-1", "LATIN1", "WINDOWS-1252", "cp1252"}) {
        // "Caf\xE9" alone would be invalid UTF-8 anyway; "\xC3\xA9" is valid
        // UTF-8 and must still be read as the two Latin letters it is.
        const auto result = ReadOne("FN;CHARSET=" + std::string(charset) + ":Caf\xC3\xA9\r\n", "2.1");
        ASSERT_EQ(1u, result.contacts.size()) << charset;
        EXPECT_EQ("Caf\xC3\x83\xC2\xA9", result.contacts[0].fullName) << charset;
    }
}

TEST(CardBoundaries, QuotedPrintableAndBase64AreToldByEncodingOrBareType)
{
    auto title = [](const std::string& line) {
        const auto result = ReadOne(line + "\r\nFN:x\r\n", "2.1");
        return result.contacts.empty() ? std::string("(none)") : result.contacts[0].text[kJobTitle];
    };
    EXPECT_EQ("9Aa:", title("TITLE;ENCODING=QUOTED-PRINTABLE:=39=41=61=3A"));
    EXPECT_EQ("9Aa:o", title("TITLE;QUOTED-PRINTABLE:=39=41=61=3a=6f"));
    EXPECT_EQ("=4", title("TITLE;QUOTED-PRINTABLE:=4"));
    // A soft break with nothing after it ends the value (here the unfinished card's name).
    EXPECT_EQ("Ann", ReadCards("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;QUOTED-PRINTABLE:Ann=").problems.at(0).name);
    EXPECT_EQ("a=41", title("TITLE:a=41"));
    EXPECT_EQ("=zz", title("TITLE;QUOTED-PRINTABLE:=zz"));
    EXPECT_EQ("", title("TITLE;ENCODING=BASE64:QUJD"));
    EXPECT_EQ("", title("TITLE;BASE64:QUJD"));
    EXPECT_EQ("", title("TITLE;ENCODING=b:QUJD"));
}

TEST(CardBoundaries, ParametersQuoteSeparatorsAndTrimmedValues)
{
    const auto result = ReadOne("FN:Ann\r\nEMAIL;X-LABEL=\"Home: main; private\":ann@example.com\r\n"
                                "TITLE:\t Boss\t \r\n");
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("ann@example.com", result.contacts[0].text[kEmail1]);
    EXPECT_EQ("Boss", result.contacts[0].text[kJobTitle]);

    const auto unterminated = ReadOne("FN:Bo\r\nEMAIL;X-LABEL=\"Home:bo@example.com\r\n");
    EXPECT_TRUE(unterminated.contacts.empty());
    ASSERT_EQ(1u, unterminated.problems.size());
}

TEST(CardBoundaries, BirthdayFormsAndTheCardsTheyRefuse)
{
    auto birthday = [](const std::string& value, std::string param = "") {
        const auto result = ReadOne("FN:B\r\nBDAY" + param + ":" + value + "\r\n");
        if (!result.problems.empty())
            return std::string(result.contacts.empty() ? "rejected" : "reported yet kept");
        const CardDate d = result.contacts.at(0).birthday;
        return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
    };
    const std::pair<const char*, const char*> cases[] = {
        {"1975-03-09", "1975-3-9"},   {"19800415", "1980-4-15"},     {"1980-04-15T00:00:00Z", "1980-4-15"},
        {"0001-01-01", "1-1-1"},      {"2000-02-29", "2000-2-29"},   {"--1209", "0-12-9"},
        {"--12-09", "0-12-9"},        {"--0229", "0-2-29"},          {"19x5-03-09", "rejected"},
        {"0000-03-09", "rejected"},   {"1975-3-9", "rejected"},      {"--1x09", "rejected"},
        {"--12099", "rejected"},      {"--1301", "rejected"},        {"1975-02-29", "rejected"},
        {"1900-02-29", "rejected"},   {"1980-13-01", "rejected"},    {"04/15/1980", "rejected"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, birthday(c.first)) << c.first;
    EXPECT_EQ("0-0-0", birthday("in May", ";VALUE=text"));
    EXPECT_EQ(1u, ReadOne("FN:B\r\nBDAY;VALUE=text:in May\r\n").contacts.at(0).extras.size()) << "kept as written";
}

TEST(CardBoundaries, WriterKeepsALoneAddressPartAndFoldsEvenBrokenText)
{
    for (CardField part : {kStreet, kCity, kState, kPostalCode}) {
        CardContact contact;
        contact.text[kLastName] = "Ng";
        contact.text[part] = "Here";
        const auto back = ReadCards(WriteCard(contact));
        ASSERT_EQ(1u, back.contacts.size()) << part;
        EXPECT_EQ("Here", back.contacts[0].text[part]) << part;
    }
    // Continuation bytes alone have no character boundary: the line is
    // still folded, at the octet limit.
    CardContact broken;
    broken.text[kJobTitle] = std::string(200, '\x80');
    const std::string written = WriteCard(broken);
    size_t start = 0, longest = 0;
    for (size_t end; (end = written.find("\r\n", start)) != std::string::npos; start = end + 2)
        longest = std::max(longest, end - start);
    EXPECT_EQ(75u, longest);
}

TEST(CardBoundaries, TextEncodingsAtTheEdgesOfTheirRanges)
{
    EXPECT_EQ("\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF \xE2\x80\x9Cq\xE2\x80\x9D \xEF\xBF\xBD",
              Cp1252ToUtf8("\x80\x9F\xA0\xFF \x93q\x94 \x81"));
    EXPECT_TRUE(IsValidUtf8("\x7F plain \xC3\xA9 \xF0\x9F\x8C\xB8"));
    EXPECT_TRUE(IsValidUtf8("\xC2\x80 \xE0\xA0\x80 \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"));  // first of each length, last
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xED\xBF\xBF", "caf\xE9"})  // lone, cut, overlong, surrogates
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\xB8";
    const std::wstring wide = Utf8ToWide(text);
    EXPECT_EQ(sizeof(wchar_t) == 2 ? 5u : 4u, wide.size());
    EXPECT_EQ(text, WideToUtf8(wide));
    EXPECT_EQ(L"\xFFFD" L"b", Utf8ToWide("\xFF" "b"));
    // A prefix stops before a cut character.
    EXPECT_EQ(3u, Utf8PrefixLength(text, 4));
    EXPECT_EQ(6u, Utf8PrefixLength(text, 6));
    EXPECT_EQ(10u, Utf8PrefixLength(text, 99));
    // Not UTF-8, so the whole value is Windows-1252: the euro sign.
    const auto result = ReadOne("FN:Price \x80 5\r\n", "2.1");
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("Price \xE2\x82\xAC 5", result.contacts[0].fullName);
}

TEST(CardBoundaries, ThePreferredAddressWinsAmongHomeAddressesAndATrailingBackslashStays)
{
    const auto result = ReadOne("FN:Ann\r\nADR;TYPE=HOME:;;1 First St;Alton;;;\r\n"
                                "ADR;TYPE=HOME,PREF:;;2 Second St;Barton;;;\r\nTITLE:Ends in \\\r\n"
                                "ANNIVERSARY:2001-05-05\r\nX-ANNIVERSARY:2002-06-06\r\nX-MS-ANNIVERSARY:someday\r\n"
                                "ADR;TYPE=POSTAL:;;3 Third St;;;;\r\n");
    ASSERT_EQ(1u, result.contacts.size());
    EXPECT_EQ("2 Second St", result.contacts[0].text[kHomeStreet]);
    EXPECT_EQ("Barton", result.contacts[0].text[kHomeCity]);
    EXPECT_EQ((CardDate{2001, 5, 5}), result.contacts[0].anniversary);
    EXPECT_EQ("3 Third St", result.contacts[0].text[kOtherStreet]) << "an address of another type";
    // The address and the anniversaries the fields have no room for, as written.
    EXPECT_EQ((std::vector<std::string>{"X-ANNIVERSARY:2002-06-06", "X-MS-ANNIVERSARY:someday",
                                        "ADR;TYPE=HOME:;;1 First St;Alton;;;"}),
              result.contacts[0].extras);
    EXPECT_EQ("Ends in \\", result.contacts[0].text[kJobTitle]);
}

// Relations and dates that only a label names, a photo whose data lines are
// not indented, and a line without a property name, which breaks its card.
TEST(CardBoundaries, LabelledRelationsUnindentedPhotoDataAndNamelessLines)
{
    const auto result = ReadCards(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nitem9.X-ABLabel:_$!<Assistant>!$_\r\nztem9.X-ABLabel:_$!<Friend>!$_\r\n"
        "ztem9.X-ABRELATEDNAMES:Kim Lo\r\nitem9.X-ABRELATEDNAMES:Sam Reed\r\nRELATED;TYPE=friend;VALUE=text:Lee\r\n"
        "item30.X-ABDATE:2000-01-01\r\nitem30.X-ABLabel:_$!<Other>!$_\r\nCATEGORIES:A,,A\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ng;Bo\r\nPHOTO;ENCODING=b;TYPE=JPEG:QUJD\r\nREVG\r\n\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cy\r\n:cy@chat.example\r\nEND:VCARD\r\n");
    ASSERT_EQ(2u, result.contacts.size());
    const CardContact& ann = result.contacts[0];
    EXPECT_EQ("Sam Reed", ann.text[kAssistant]);
    EXPECT_FALSE(ann.anniversary.Present());
    EXPECT_EQ((std::vector<std::string>{"A"}), ann.categories);
    EXPECT_EQ((std::vector<std::string>{"ztem9.X-ABLabel:_$!<Friend>!$_", "ztem9.X-ABRELATEDNAMES:Kim Lo",
                                        "RELATED;TYPE=friend;VALUE=text:Lee", "item30.X-ABDATE:2000-01-01",
                                        "item30.X-ABLabel:_$!<Other>!$_"}),
              ann.extras);
    EXPECT_EQ((std::vector<std::string>{"PHOTO;ENCODING=b;TYPE=JPEG:QUJDREVG"}), result.contacts[1].extras);
    ASSERT_EQ(1u, result.problems.size());
    EXPECT_EQ(23, result.problems[0].line);
}
