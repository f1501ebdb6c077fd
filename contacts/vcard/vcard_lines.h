// The text structure of a card file, below the level of cards: physical
// lines, logical (unfolded) lines, and one content line's name, parameters
// and value. Internal to the card reader; kept apart from the mapping onto
// contact fields so that each can be read on its own.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vcard::reading {

struct PhysicalLine {
    std::string_view text;
    int number;
};

struct Param {
    std::string name;                 // upper case; "TYPE" for bare 2.1 parameters
    std::vector<std::string> values;  // as written, quotes removed
};

struct ContentLine {
    std::string name;  // upper case, group removed
    std::vector<Param> params;
    std::string value;  // raw bytes after the colon
    int line = 0;
    std::string_view whole;  // the unfolded line as read, while it is being applied
};

std::string Upper(std::string_view s);
std::string Trim(std::string_view s);
// The start of a text for a message, cut at a character boundary.
std::string Excerpt(std::string_view s);

// The physical lines one after another. Lines end in CR LF, LF or CR; a run
// of CRs before an LF is one line end, as text-mode writers turn CR LF into
// CR CR LF.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view bytes) : bytes(bytes) {}
    bool Next(PhysicalLine& line);

private:
    std::string_view bytes;
    size_t at = 0;
    int number = 1;
};

// A logical line being joined from its physical lines. The part before the
// value (upper case) tells how the value is encoded; it is taken once, when
// the colon arrives, so a long line costs no more than its length. A name
// and parameters longer than any real card's are not kept growing: without
// its colon the line is refused all the same.
class LogicalLine {
public:
    void Start(std::string_view text, int number);
    void Append(std::string_view text);
    void DropLast() { line.pop_back(); }
    const std::string& Text() const { return line; }
    int Number() const { return firstLine; }
    bool HasValue() const { return colon != std::string::npos; }
    const std::string& Head() const { return head; }
    // Whether the value holds a plain space; kept as lines are appended, so
    // asking after every fold of a long value costs nothing.
    bool ValueHasSpace() const { return valueHasSpace; }

private:
    static constexpr size_t kLongestHead = 64 * 1024;

    void FindColon(size_t from);
    void NoteSpaces(size_t from);

    std::string line;
    std::string head;
    size_t colon = std::string::npos;
    int firstLine = 0;
    bool valueHasSpace = false;
};

bool HeadIsQuotedPrintable(const std::string& head);
bool HeadIsBase64(const std::string& head);

// Splits "group.NAME;p=v;BARE:value". Returns an error text, empty on success.
std::string ParseContentLine(const std::string& text, int number, ContentLine& out);

const Param* FindParam(const ContentLine& line, const char* name);

// Decodes transfer encoding and charset; returns false for binary values.
bool DecodeValue(const ContentLine& line, std::string& out);

// Splits on unescaped separators, then resolves the escapes of each part.
std::vector<std::string> SplitEscaped(std::string_view value, std::string_view separators);

// A single text value with its escapes resolved.
std::string TextValue(std::string_view value);

}  // namespace vcard::reading
