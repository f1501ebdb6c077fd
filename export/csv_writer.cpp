#include "export/csv_writer.h"

#include "base/progress_window.h"
#include "export/export_file.h"
#include "settings/field_labels.h"

#include <cwchar>

const char CSV_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

namespace {

constexpr char LINE_END[] = "\r\n";

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(std::string* out, unsigned long c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Encodes the character at c, a surrogate pair as one code point and a
// lone surrogate as U+FFFD; returns the last unit it took.
const wchar_t* AppendCharacter(std::string* out, const wchar_t* c)
{
    const unsigned long unit = static_cast<unsigned short>(*c);
    if (IsHighSurrogate(*c) && IsLowSurrogate(c[1])) {
        AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (static_cast<unsigned short>(c[1]) - 0xDC00));
        return c + 1;
    }
    AppendCodePoint(out, IsHighSurrogate(*c) || IsLowSurrogate(*c) ? 0xFFFD : unit);
    return c;
}

// The fields of a line, separated by commas, with the one comma between the
// contact half and the activity half when both have fields.
class LineBuilder {
public:
    explicit LineBuilder(std::string* out) : out(out) {}
    void Field(const wchar_t* value)
    {
        if (any)
            out->push_back(',');
        any = true;
        AppendCsvField(out, value);
    }
    void End() { out->append(LINE_END); }

private:
    std::string* out;
    bool any = false;
};

}  // namespace

void AppendUtf8(std::string* out, const wchar_t* text)
{
    for (const wchar_t* c = text; c && *c; ++c)
        c = AppendCharacter(out, c);
}

// A phone number or a date: digits, blanks and + - ( ) . / alone make at
// most plain arithmetic, never a call, so such a value is left as it is.
static bool IsNumberLike(const wchar_t* value)
{
    for (const wchar_t* c = value; *c; ++c)
        if (!((*c >= L'0' && *c <= L'9') || wcschr(L" +-()./", *c)))
            return false;
    return true;
}

bool StartsLikeFormula(const wchar_t* value)
{
    if (!value || IsNumberLike(value))
        return false;
    // The characters that open a formula, a DDE call or a cell reference, and
    // the full-width forms some spreadsheets accept for them.
    switch (value[0]) {
    case L'=': case L'+': case L'-': case L'@': case L'\t': case L'\r':
    case L'\xFF1D': case L'\xFF0B': case L'\xFF0D': case L'\xFF20':
        return true;
    default:
        return false;
    }
}

void AppendCsvField(std::string* out, const wchar_t* value)
{
    out->push_back('"');
    if (StartsLikeFormula(value))
        out->push_back('\'');
    for (const wchar_t* c = value; c && *c; ++c) {
        if (*c == L'"')
            out->push_back('"');
        c = AppendCharacter(out, c);
    }
    out->push_back('"');
}

void AppendCsvHeader(std::string* out, const ExportChoice& choice)
{
    LineBuilder line(out);
    for (int i = 0; i < choice.contactFieldCount; ++i)
        line.Field(ContactFieldLabel(choice.contactFields[i]));
    for (int i = 0; i < choice.activityFieldCount; ++i)
        line.Field(ActivityFieldLabel(choice.activityFields[i]));
    line.End();
}

void AppendCsvRow(std::string* out, const ExportChoice& choice, const ContactRecord& contact,
                  const ActivityRecord& activity)
{
    LineBuilder line(out);
    for (int i = 0; i < choice.contactFieldCount; ++i) {
        const int field = choice.contactFields[i];
        line.Field(field >= 0 && field < CONTACT_FIELD_COUNT ? contact.field[field] : L"");
    }
    wchar_t value[EXPORT_VALUE_CAPACITY];
    for (int i = 0; i < choice.activityFieldCount; ++i) {
        ExportActivityValue(activity, choice.activityFields[i], value, EXPORT_VALUE_CAPACITY);
        line.Field(value);
    }
    line.End();
}

// The whole file into `file`; what ForEachExportedActivity returned.
static int WriteCsvFile(const ExportChoice& choice, ExportFile* file, HWND progress)
{
    std::string text(CSV_BYTE_ORDER_MARK);
    AppendCsvHeader(&text, choice);
    WriteExportBytes(file, text);
    ExportSteps steps;
    steps.contact = [&](int number, const ContactRecord&) {
        if (!ProgressStepDue(number, choice.contactCount))
            return;
        wchar_t label[80];
        std::swprintf(label, 80, L"Exporting %d of %d Contact Entries", number, choice.contactCount);
        StepProgress(progress, label, number);
    };
    steps.activity = [&](const ContactRecord& contact, const ActivityRecord& activity) {
        text.clear();
        AppendCsvRow(&text, choice, contact, activity);
        WriteExportBytes(file, text);
    };
    steps.stopped = [&] { return ExportFileFailed(*file); };
    return ForEachExportedActivity(choice, steps);
}

void ExportCsv(const CEOID* contactOids, int activityFieldCount, int contactFieldCount, int contactCount,
               const int* activityFields, const int* contactFields, const int* contacts)
{
    const ExportChoice choice = {contactOids,     activityFieldCount, contactFieldCount, contactCount,
                                 activityFields, contactFields,      contacts};
    RunExportToFile(CSV_EXPORT_NAME, L"CSV", L"Exporting to CSV File", L"Export in Progresss...", contactCount,
                    [&](ExportFile* file, HWND progress) { return WriteCsvFile(choice, file, progress); });
}
