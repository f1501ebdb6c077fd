#include "export/csv_writer.h"

#include "base/progress_window.h"
#include "export/export_file.h"
#include "platform/unicode/utf8.h"
#include "settings/field_labels.h"

#include <cwchar>

const char CSV_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

namespace {

constexpr char LINE_END[] = "\r\n";

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
    const size_t size = value ? wcslen(value) : 0;
    for (size_t at = 0; at < size;) {
        if (value[at] == L'"')
            out->push_back('"');
        unicode::AppendUtf8(out, unicode::NextCodePoint(value, size, &at));
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
