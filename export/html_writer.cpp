#include "export/html_writer.h"

#include "base/progress_window.h"
#include "base/text.h"
#include "export/export_file.h"
#include "platform/notify/device_clock.h"
#include "settings/field_labels.h"

#include <cstdio>
#include <cwchar>
#include <functional>

namespace {

constexpr char LINE_END[] = "\r\n";
constexpr int DATE_CAPACITY = 50;
constexpr int VALUE_CAPACITY = 260;   // contact values are cut to 259 characters
constexpr char CONTACT_BACKGROUND[] = "#FFFFFF";
constexpr char HEADER_BACKGROUND[] = "#FFDCB9";
constexpr char VALUE_BACKGROUND[] = "#CCFFCC";
constexpr char TEXT_COLOUR[] = "#000000";
constexpr wchar_t NONE_TEXT[] = L"(none)";
constexpr int FIRST_ADDRESS_FIELD = 5;
constexpr int LAST_ADDRESS_FIELD = 8;

// Windows-1252 bytes 0x80..0x9F and the characters they stand for; 0 where
// the code page has none.
const wchar_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsAddressField(int field)
{
    return field >= FIRST_ADDRESS_FIELD && field <= LAST_ADDRESS_FIELD;
}

void AppendNumericReference(std::string* out, unsigned long codePoint)
{
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#%lu;", codePoint);
    out->append(reference);
}

// The character's byte in Windows-1252, or 0 when the code page has none or
// the page cannot carry it as it is.
unsigned char Cp1252Byte(unsigned long c)
{
    if (c == L'\t' || c == L'\n' || c == L'\r' || (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (cp1252High[i] && cp1252High[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

// Controls other than tab and the line ends have no place in a page.
bool IsControl(unsigned long c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendCell(std::string* out, bool bold, int align, const char* background, const wchar_t* text)
{
    AppendHtmlCell(out, 0, 0, bold, ALIGN_TOP, align, background, text);
}

const char* AlignName(int code)
{
    switch (code) {
    case ALIGN_TOP: return "top";
    case ALIGN_BOTTOM: return "bottom";
    case ALIGN_MIDDLE: return "middle";
    case ALIGN_LEFT: return "left";
    case ALIGN_RIGHT: return "right";
    case ALIGN_CENTER: return "center";
    default: return "";
    }
}

}  // namespace

ContactGrid LayOutContactGrid(int contactFieldCount, const int* contactFields)
{
    ContactGrid grid = {};
    for (auto& row : grid.field)
        for (int& cell : row)
            cell = NO_GRID_FIELD;
    const int count = contactFields ? contactFieldCount : 0;
    int row = 0, column = 0;
    auto place = [&](int field) {
        if (row < GRID_ROWS && column < GRID_COLUMNS)
            grid.field[row][column] = field;
        ++row;
        if (row > grid.rows)
            grid.rows = row < GRID_ROWS ? row : GRID_ROWS;
    };
    // The other fields first, seven to a column.
    for (int i = 0; i < count; ++i) {
        if (IsAddressField(contactFields[i]))
            continue;
        place(contactFields[i]);
        if (row >= GRID_ROWS && i + 1 < count) {
            ++column;
            row = 0;
        }
    }
    // Then the address fields in the next column.
    bool addressColumn = false;
    for (int i = 0; i < count; ++i) {
        if (!IsAddressField(contactFields[i]))
            continue;
        if (!addressColumn) {
            addressColumn = true;
            ++column;
            row = 0;
        }
        place(contactFields[i]);
    }
    grid.columns = column + 1 < GRID_COLUMNS ? column + 1 : GRID_COLUMNS;
    return grid;
}

int ContactTableWidth(int columns)
{
    switch (columns) {
    case 1: return 30;
    case 2: return 50;
    case 3: return 70;
    case 4: return 90;
    default: return 80;
    }
}

void AppendHtmlText(std::string* out, const wchar_t* text)
{
    for (const wchar_t* c = text; c && *c; ++c) {
        switch (*c) {
        case L'&': out->append("&amp;"); continue;
        case L'<': out->append("&lt;"); continue;
        case L'>': out->append("&gt;"); continue;
        case L'"': out->append("&quot;"); continue;
        case L'\'': out->append("&#39;"); continue;
        default: break;
        }
        unsigned long codePoint = static_cast<unsigned short>(*c);
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && c[1] >= 0xDC00 && c[1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (static_cast<unsigned short>(c[1]) - 0xDC00);
            ++c;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        if (const unsigned char byte = Cp1252Byte(codePoint))
            out->push_back(static_cast<char>(byte));
        else
            AppendNumericReference(out, IsControl(codePoint) ? 0xFFFD : codePoint);
    }
}

void AppendHtmlHead(std::string* out, const wchar_t* title)
{
    out->append("<html>\r\n<head>\r\n");
    out->append("<meta http-equiv=\"Content-Language\" content=\"en-us\">\r\n");
    out->append("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n");
    out->append("<title>");
    AppendHtmlText(out, title);
    out->append("</title>\r\n</head>\r\n<body>\r\n");
}

void AppendHtmlEnd(std::string* out)
{
    out->append("</body>\r\n</html>\r\n");
}

void AppendTableStart(std::string* out, int border, int widthPercent)
{
    char tag[64];
    std::snprintf(tag, sizeof tag, "<table border=\"%d\" width=\"%d%%\">\r\n", border, widthPercent);
    out->append(tag);
}

void AppendTableEnd(std::string* out)
{
    out->append("</table>\r\n");
}

void AppendHtmlLine(std::string* out, const char* markup)
{
    out->append(markup);
    out->append(LINE_END);
}

void AppendHtmlRule(std::string* out)
{
    out->append("<br><hr><br>\r\n");
}

void AppendHtmlCell(std::string* out, int width, int percent, bool bold, int verticalAlign, int align,
                    const char* background, const wchar_t* text)
{
    // Appended piece by piece: a report has a few hundred thousand cells.
    out->append("<td ");
    if (width >= 1) {
        out->append("width=\"");
        out->append(std::to_string(width));
        out->append(percent == 1 ? "%\"" : "\"");
    }
    out->append(" valign=\"");
    out->append(AlignName(verticalAlign));
    out->append("\" align=\"");
    out->append(AlignName(align));
    out->append("\" bgcolor=\"");
    out->append(background);
    out->append("\">");
    if (bold)
        out->append("<b>");
    out->append("<font color=\"");
    out->append(TEXT_COLOUR);
    out->append("\">");
    AppendHtmlText(out, text);
    out->append("</font>");
    if (bold)
        out->append("</b>");
    out->append("</td>\r\n");
}

void AppendHtmlBanner(std::string* out, const wchar_t* date, const wchar_t* time)
{
    AppendHtmlLine(out, "<p><b>Vantaro</b> - Contact Relation Management</p>\r\n");
    out->append("Generated on ");
    AppendHtmlText(out, date);
    out->append(" at ");
    AppendHtmlText(out, time);
    out->append("</p>\r\n");
    out->append(LINE_END);
    AppendHtmlRule(out);
}

void AppendContactTable(std::string* out, const ContactGrid& grid, const ContactRecord& contact)
{
    AppendTableStart(out, 0, ContactTableWidth(grid.columns));
    wchar_t text[VALUE_CAPACITY];
    for (int row = 0; row < grid.rows && row < GRID_ROWS; ++row) {
        out->append("<tr>\r\n");
        for (int column = 0; column < grid.columns && column < GRID_COLUMNS; ++column) {
            const int field = grid.field[row][column];
            if (field < 0 || field >= CONTACT_FIELD_COUNT) {
                AppendCell(out, true, ALIGN_LEFT, CONTACT_BACKGROUND, L"");
                AppendCell(out, true, ALIGN_LEFT, CONTACT_BACKGROUND, L"");
                continue;
            }
            std::swprintf(text, VALUE_CAPACITY, L"%ls:", ContactFieldLabel(field));
            AppendHtmlLine(out, "<B>");
            AppendCell(out, true, ALIGN_LEFT, CONTACT_BACKGROUND, text);
            AppendHtmlLine(out, "</B>");
            CopyText(text, contact.field[field]);
            AppendCell(out, false, ALIGN_LEFT, CONTACT_BACKGROUND, text[0] ? text : NONE_TEXT);
        }
        out->append("</tr>\r\n");
    }
    AppendTableEnd(out);
    AppendHtmlLine(out, "<br>\r\n");
}

void AppendActivityTableStart(std::string* out, const ExportChoice& choice)
{
    AppendTableStart(out, 1, 100);
    out->append("<tr>\r\n");
    for (int i = 0; i < choice.activityFieldCount; ++i)
        AppendCell(out, false, ALIGN_CENTER, HEADER_BACKGROUND, ActivityFieldLabel(choice.activityFields[i]));
    out->append("</tr>\r\n");
}

void AppendActivityRow(std::string* out, const ExportChoice& choice, const ActivityRecord& activity)
{
    wchar_t value[EXPORT_VALUE_CAPACITY];
    out->append("<tr>\r\n");
    for (int i = 0; i < choice.activityFieldCount; ++i) {
        ExportActivityValue(activity, choice.activityFields[i], value, EXPORT_VALUE_CAPACITY);
        AppendCell(out, false, ALIGN_LEFT, VALUE_BACKGROUND, value[0] ? value : NONE_TEXT);
    }
    out->append("</tr>\r\n");
}

void AppendActivityTableEnd(std::string* out)
{
    AppendTableEnd(out);
    AppendHtmlRule(out);
}

// The whole report into `file`; what ForEachExportedActivity returned.
static int WriteHtmlFile(const ExportChoice& choice, ExportFile* file, HWND progress)
{
    std::string part;
    auto write = [&](const std::function<void(std::string*)>& make) {
        part.clear();
        make(&part);
        WriteExportBytes(file, part);
    };
    SYSTEMTIME now = {};
    GetDeviceLocalTime(&now);
    wchar_t date[DATE_CAPACITY] = L"", time[DATE_CAPACITY] = L"";
    if (GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_LONGDATE, &now, nullptr, date, DATE_CAPACITY) <= 0)
        date[0] = L'\0';
    if (GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_NOSECONDS, &now, nullptr, time, DATE_CAPACITY) <= 0)
        time[0] = L'\0';
    write([&](std::string* out) {
        AppendHtmlHead(out, L"Vantaro");
        AppendHtmlBanner(out, date, time);
    });

    const ContactGrid grid = LayOutContactGrid(choice.contactFieldCount, choice.contactFields);
    ExportSteps steps;
    steps.contact = [&](int number, const ContactRecord& contact) {
        write([&](std::string* out) {
            AppendContactTable(out, grid, contact);
            AppendActivityTableStart(out, choice);
        });
        if (!ProgressStepDue(number, choice.contactCount))
            return;
        wchar_t label[80];
        std::swprintf(label, 80, L"Processing %d %% complete", 100 * number / choice.contactCount);
        StepProgress(progress, label, number);
    };
    steps.activity = [&](const ContactRecord&, const ActivityRecord& activity) {
        write([&](std::string* out) { AppendActivityRow(out, choice, activity); });
    };
    steps.contactDone = [&](int) { write(AppendActivityTableEnd); };
    steps.stopped = [&] { return ExportFileFailed(*file); };
    const int missing = ForEachExportedActivity(choice, steps);
    write(AppendHtmlEnd);
    return missing;
}

void ExportHtml(const CEOID* contactOids, int activityFieldCount, int contactFieldCount, int contactCount,
                const int* activityFields, const int* contactFields, const int* contacts)
{
    if (activityFieldCount <= 0)
        return;
    const ExportChoice choice = {contactOids,     activityFieldCount, contactFieldCount, contactCount,
                                 activityFields, contactFields,      contacts};
    RunExportToFile(HTML_EXPORT_NAME, L"HTML", L"Exporting to HTML File", L"Export in Progress...", contactCount,
                    [&](ExportFile* file, HWND progress) { return WriteHtmlFile(choice, file, progress); });
}
