// Reading: bytes -> physical lines -> logical (unfolded) lines -> content
// lines -> cards. This file holds the card loop: where cards begin and end,
// which logical lines belong together, and which cards are kept or reported.
#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"
#include "contacts/vcard/vcard_fields.h"
#include "contacts/vcard/vcard_lines.h"

namespace vcard {

namespace {

using namespace reading;

// The file's text as UTF-8: UTF-16 is converted into `converted`, a UTF-8
// byte order mark is dropped, anything else is left to the value decoding.
std::string_view WithoutByteOrderMark(std::string_view bytes, std::string& converted)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        converted = Utf16ToUtf8(bytes.substr(2), false);
        return converted;
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF) {
        converted = Utf16ToUtf8(bytes.substr(2), true);
        return converted;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return bytes.substr(3);
    return bytes;
}

// Takes the logical lines in order and builds a card from each BEGIN to its
// END. After a fault the rest of the card is passed over, and the card is
// reported instead of kept.
class CardCollector {
public:
    void Take(const std::string& logical, int number)
    {
        ContentLine line;
        const std::string error = ParseContentLine(logical, number, line);
        const bool isBegin = error.empty() && line.name == "BEGIN" && Upper(Trim(line.value)) == "VCARD";
        const bool isEnd = error.empty() && line.name == "END" && Upper(Trim(line.value)) == "VCARD";
        if (isBegin) {
            ReportUnended();
            inCard = true;
            broken = false;
            card = CardBuilder{};
            card.contact.line = number;
            return;
        }
        if (!inCard)
            return;  // text between cards carries nothing
        if (isEnd) {
            if (!broken) {
                Finish(card);
                result.contacts.push_back(std::move(card.contact));
            }
            inCard = false;
            return;
        }
        if (broken)
            return;
        const std::string problem = error.empty() ? ApplyProperty(card, line) : error;
        if (!problem.empty()) {
            result.problems.push_back({number, problem, card.contact.fullName});
            broken = true;
        }
    }

    // 2.1 folds keep the white space; later versions drop one character.
    bool FoldsKeepSpace() const { return inCard && card.version == "2.1"; }

    CardReadResult End()
    {
        ReportUnended();
        return std::move(result);
    }

private:
    void ReportUnended()
    {
        if (inCard && !broken)
            result.problems.push_back({card.contact.line, "card has no END:VCARD", card.contact.fullName});
    }

    CardReadResult result;
    bool inCard = false;
    bool broken = false;
    CardBuilder card;
};

// Whether the physical line `t` continues the logical line `current`, and
// if so joins it on.
bool AppendContinuation(LogicalLine& current, std::string_view t, bool foldsKeepSpace)
{
    if (current.HasValue() && HeadIsQuotedPrintable(current.Head()) && current.Text().back() == '=') {
        // A writer that encodes its spaces (=20) also folds after the soft
        // break: the blank that starts the next line is the fold's, not text.
        const bool spacesEncoded = !current.ValueHasSpace();
        const bool folded = spacesEncoded && !t.empty() && (t[0] == ' ' || t[0] == '\t');
        current.DropLast();
        current.Append(folded ? t.substr(1) : t);
        return true;
    }
    if (!t.empty() && (t[0] == ' ' || t[0] == '\t')) {
        current.Append(foldsKeepSpace ? t : t.substr(1));
        return true;
    }
    if (current.HasValue() && HeadIsBase64(current.Head()) && !t.empty() && t.find(':') == std::string_view::npos) {
        current.Append(t);
        return true;
    }
    return false;
}

}  // namespace

CardReadResult ReadCards(std::string_view input)
{
    std::string converted;
    CardCollector cards;
    LogicalLine current;
    bool have = false;
    LineSplitter lines(WithoutByteOrderMark(input, converted));
    PhysicalLine physical;
    while (lines.Next(physical)) {
        const std::string_view t = physical.text;
        if (have) {
            if (AppendContinuation(current, t, cards.FoldsKeepSpace()))
                continue;
            cards.Take(current.Text(), current.Number());
            have = false;
        }
        // With no line before it to continue, a fold's blank is only a blank,
        // so an indented BEGIN at the top of a file still starts its card.
        const size_t start = t.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            continue;
        current.Start(t.substr(start), physical.number);
        have = true;
    }
    if (have)
        cards.Take(current.Text(), current.Number());
    return cards.End();
}

}  // namespace vcard
