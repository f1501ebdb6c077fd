// What the two export writers put into their files, without windows: CSV
// fields and lines, the page's text and tables, and the contact grid.
#include "base/short_date.h"
#include "export/csv_writer.h"
#include "export/export_run.h"
#include "export/html_writer.h"
#include "platform/unicode/utf8.h"
#include "settings/field_labels.h"

#include <gtest/gtest.h>

#include <array>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int FILE_AS = 0, TITLE = 3, COMPANY = 4, STREET = 5, CITY = 6, ZIP = 8, PHONE = 9;

std::string Field(const wchar_t* value)
{
    std::string out;
    AppendCsvField(&out, value);
    return out;
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string Html(const wchar_t* text)
{
    std::string out;
    AppendHtmlText(&out, text);
    return out;
}

struct Choice {
    std::vector<int> contactFields, activityFields;
    ExportChoice Get() const
    {
        return {nullptr, static_cast<int>(activityFields.size()), static_cast<int>(contactFields.size()), 0,
                activityFields.data(), contactFields.data(), nullptr};
    }
};

class ExportFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFieldLabels();
        contact = {};
        activity = {};
    }
    std::string Row(const Choice& choice) const
    {
        std::string out;
        AppendCsvRow(&out, choice.Get(), contact, activity);
        return out;
    }
    void SetContact(int field, const wchar_t* text) { wcscpy(contact.field[field], text); }
    ContactRecord contact;
    ActivityRecord activity;
};

}  // namespace

// --- CSV --------------------------------------------------------------------------

TEST_F(ExportFormatTest, CsvFieldsAreQuotedUtf8AndNeverRunAsFormulas)
{
    const struct {
        const wchar_t* value;
        const char* field;
    } fields[] = {
        {L"", "\"\""},
        {nullptr, "\"\""},
        {L"Baker, Ann", "\"Baker, Ann\""},
        {L"say \"hi\", then go", "\"say \"\"hi\"\", then go\""},
        {L"\"", "\"\"\"\""},
        {L"Main St 1\r\nFlat 2", "\"Main St 1\r\nFlat 2\""},   // RFC 4180 allows a break inside the quotes
        {L"\x0141ukasz Wr\x00F3" L"bel", "\"\xC5\x81ukasz Wr\xC3\xB3" "bel\""},
        {L"\x20AC", "\"\xE2\x82\xAC\""},
        {L"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
        {L"a\xD83D" L"b", "\"a\xEF\xBF\xBD" "b\""},   // a lone surrogate as U+FFFD
        // Phone numbers and dates cannot call anything; only the first character counts.
        {L"+44 1463 555 210", "\"+44 1463 555 210\""},
        {L"-5", "\"-5\""},
        {L"+1 (555) 019-2000", "\"+1 (555) 019-2000\""},
        {L"(01463) 555.210/11", "\"(01463) 555.210/11\""},
        {L"+", "\"+\""},
        {L"a=b-c", "\"a=b-c\""},
        {L"'", "\"'\""},
        {L"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
    };
    for (const auto& expected : fields)
        EXPECT_EQ(expected.field, Field(expected.value));
    for (const wchar_t* value : {L"=1+2", L"+44 20 7946 0000 =1", L"-5+cmd|' /C calc'!A0", L"@SUM(A1)", L"\tx",
                                 L"\r1", L"+1\t2", L"\xFF1D" L"1", L"\xFF0B" L"44 1463"})
        EXPECT_EQ("\"'", Field(value).substr(0, 2)) << Field(value);
}

TEST_F(ExportFormatTest, CsvLinesJoinTheHalvesWithOneCommaAndFlattenNotes)
{
    Choice both{{FILE_AS, COMPANY}, {0, 2}};
    std::string header;
    AppendCsvHeader(&header, both.Get());
    EXPECT_EQ("\"FileAs\",\"Company\",\"Last Date\",\"Event\"\r\n", header);

    SetContact(FILE_AS, L"Baker, Ann");
    SetContact(COMPANY, L"Acme");
    activity.date = 47000.0;
    wcscpy(activity.event, L"Call");
    wchar_t date[80];
    ASSERT_TRUE(FormatShortDate(47000.0, date, 80));
    std::string expected = "\"Baker, Ann\",\"Acme\",\"";
    unicode::AppendUtf8(&expected, std::wstring_view(date));
    expected += "\",\"Call\"\r\n";
    EXPECT_EQ(expected, Row(both));

    // Contact fields only: no trailing comma. No field at all: empty lines.
    EXPECT_EQ("\"Baker, Ann\",\"Acme\"\r\n", Row({{FILE_AS, COMPANY}, {}}));
    EXPECT_EQ("\"Call\"\r\n", Row({{}, {2}}));
    EXPECT_EQ("\r\n", Row({{}, {}}));
    header.clear();
    AppendCsvHeader(&header, Choice{}.Get());
    EXPECT_EQ("\r\n", header);

    // No next date, notes on one line.
    wcscpy(activity.notes, L"first line\r\nsecond\nthird\r");
    wcscpy(activity.user3, L"u3");
    activity.nextDate = 0.0;
    EXPECT_EQ("\"\",\"first line  second third \",\"u3\"\r\n", Row({{}, {1, 4, 7}}));
    // Renamed labels head the columns.
    ASSERT_TRUE(RenameFieldLabel(21 + 4, L"=Remarks, \"all\""));
    header.clear();
    AppendCsvHeader(&header, Choice{{}, {4}}.Get());
    EXPECT_EQ("\"'=Remarks, \"\"all\"\"\"\r\n", header);
}

// --- HTML text --------------------------------------------------------------------

// Windows-1252 as it is, markup and everything else as references.
TEST_F(ExportFormatTest, HtmlTextIsEscapedInWindows1252)
{
    EXPECT_EQ("&lt;b&gt;bold&lt;/b&gt; &amp; &quot;q&quot; &#39;s&#39;", Html(L"<b>bold</b> & \"q\" 's'"));
    EXPECT_EQ("&#321;ukasz Wr\xF3" "bel", Html(L"\x0141ukasz Wr\x00F3" L"bel"));
    EXPECT_EQ("\x80 \x9F \xE9 \xFF", Html(L"\x20AC \x0178 \x00E9 \x00FF"));
    EXPECT_EQ("&#26481;&#20140; &#128512; &#65536;", Html(L"\x6771\x4EAC \xD83D\xDE00 \xD800\xDC00"));
    EXPECT_EQ("a\tb\r\nc\rd\ne", Html(L"a\tb\r\nc\rd\ne"));
    // Controls and lone surrogates cannot be carried by the page.
    EXPECT_EQ("a&#65533;b&#65533;c&#65533;", Html(L"a\x0001" L"b\x0081" L"c\xDC00"));
}

TEST_F(ExportFormatTest, HtmlCellsHeadAndBanner)
{
    std::string cell;
    AppendHtmlCell(&cell, 0, 0, true, ALIGN_TOP, ALIGN_LEFT, "#FFFFFF", L"A&B");
    EXPECT_EQ("<td  valign=\"top\" align=\"left\" bgcolor=\"#FFFFFF\"><b><font color=\"#000000\">A&amp;B</font></b></td>\r\n",
              cell);
    cell.clear();
    AppendHtmlCell(&cell, 40, 1, false, ALIGN_MIDDLE, ALIGN_CENTER, "#CCFFCC", L"");
    EXPECT_EQ("<td width=\"40%\" valign=\"middle\" align=\"center\" bgcolor=\"#CCFFCC\"><font color=\"#000000\"></font></td>\r\n",
              cell);
    cell.clear();
    AppendHtmlCell(&cell, 40, 0, false, ALIGN_BOTTOM, ALIGN_RIGHT, "#CCFFCC", L"x");
    EXPECT_EQ(0u, cell.find("<td width=\"40\" valign=\"bottom\" align=\"right\""));

    std::string head;
    AppendHtmlHead(&head, L"A<B");
    EXPECT_EQ("<html>\r\n<head>\r\n<meta http-equiv=\"Content-Language\" content=\"en-us\">\r\n<meta http-equiv=\""
              "Content-Type\" content=\"text/html; charset=windows-1252\">\r\n<title>A&lt;B</title>\r\n</head>\r\n<body>\r\n",
              head);
    std::string banner;
    AppendHtmlBanner(&banner, L"Monday", L"10:00");
    EXPECT_EQ("<p><b>Vantaro</b> - Contact Relation Management</p>\r\n\r\nGenerated on Monday at 10:00</p>\r\n\r\n"
              "<br><hr><br>\r\n",
              banner);
}

// --- The contact grid -------------------------------------------------------------

// Seven fields to a column, the address fields in a column of their own;
// the table is as wide as its columns need.
TEST_F(ExportFormatTest, GridPutsSevenFieldsAColumnAndTheAddressApart)
{
    std::vector<int> all;
    for (int f = 0; f < CONTACT_FIELD_COUNT; ++f)
        all.push_back(f);
    const struct {
        std::vector<int> fields;
        int rows, columns, width;
        std::vector<std::array<int, 3>> cells;   // row, column, field
    } grids[] = {
        {{FILE_AS, TITLE, COMPANY}, 3, 1, 30, {{2, 0, COMPANY}}},
        {{FILE_AS, CITY}, 1, 2, 50, {{0, 1, CITY}}},
        {{STREET, ZIP}, 2, 2, 50, {{0, 0, NO_GRID_FIELD}, {1, 1, ZIP}}},
        {{}, 0, 1, 30, {}},
        {{0, 1, 2, 3, 4, 9, 10, 11, 12}, 7, 2, 50, {{6, 0, 10}, {1, 1, 12}, {2, 1, NO_GRID_FIELD}}},
        {{0, 1, 2, 3, 4, 9, 10}, 7, 1, 30, {}},
        {all, 7, 4, 90, {{0, 3, STREET}, {3, 3, ZIP}, {2, 2, 20}}},
    };
    for (const auto& expected : grids) {
        const int* fields = expected.fields.empty() ? nullptr : expected.fields.data();
        const ContactGrid grid = LayOutContactGrid(static_cast<int>(expected.fields.size()), fields);
        EXPECT_EQ(expected.rows, grid.rows) << expected.fields.size();
        EXPECT_EQ(expected.columns, grid.columns) << expected.fields.size();
        EXPECT_EQ(expected.width, ContactTableWidth(grid.columns)) << expected.fields.size();
        for (const auto& cell : expected.cells)
            EXPECT_EQ(cell[2], grid.field[cell[0]][cell[1]]) << expected.fields.size();
    }
    EXPECT_EQ(70, ContactTableWidth(3));
    EXPECT_EQ(80, ContactTableWidth(5));
}

TEST_F(ExportFormatTest, ContactTableWritesLabelsValuesAndEmptyCells)
{
    const int fields[] = {FILE_AS, COMPANY, 9, 10, 11, 12, 13, 14, 15};
    SetContact(FILE_AS, L"Baker & Sons");
    std::string table;
    AppendContactTable(&table, LayOutContactGrid(9, fields), contact);

    EXPECT_EQ(0u, table.find("<table border=\"0\" width=\"50%\">\r\n<tr>\r\n<B>\r\n<td  valign=\"top\" align=\"left\" "
                             "bgcolor=\"#FFFFFF\"><b><font color=\"#000000\">FileAs:</font></b></td>\r\n</B>\r\n"
                             "<td  valign=\"top\" align=\"left\" bgcolor=\"#FFFFFF\"><font color=\"#000000\">Baker "
                             "&amp; Sons</font></td>\r\n"));
    const std::string emptyCell = "<td  valign=\"top\" align=\"left\" bgcolor=\"#FFFFFF\"><b><font color=\"#000000\">"
                                  "</font></b></td>\r\n";
    // Rows 2 to 6 of the second column: two empty bold cells each.
    EXPECT_EQ(10u, Occurrences(table, emptyCell));
    EXPECT_EQ(7u, Occurrences(table, "<tr>"));
    EXPECT_NE(std::string::npos, table.find(">Company:<"));
    EXPECT_NE(std::string::npos, table.find("\">(none)</font>"));
    const std::string end = "</table>\r\n<br>\r\n\r\n";
    EXPECT_EQ(table.size() - end.size(), table.rfind(end));
    // A grid of fewer rows than a column holds has no more rows.
    table.clear();
    AppendContactTable(&table, LayOutContactGrid(2, fields), contact);
    EXPECT_EQ(2u, Occurrences(table, "<tr>"));
}

TEST_F(ExportFormatTest, ActivityTableHeaderRowsAndNone)
{
    Choice choice{{}, {0, 2, 4}};
    std::string out;
    AppendActivityTableStart(&out, choice.Get());
    EXPECT_EQ(0u, out.find("<table border=\"1\" width=\"100%\">\r\n<tr>\r\n<td  valign=\"top\" align=\"center\" "
                           "bgcolor=\"#FFDCB9\"><font color=\"#000000\">Last Date</font></td>\r\n"));
    out.clear();
    wcscpy(activity.notes, L"<b>not bold</b>\r\nnext");
    AppendActivityRow(&out, choice.Get(), activity);
    EXPECT_EQ(3u, Occurrences(out, "<td "));
    EXPECT_NE(std::string::npos, out.find("bgcolor=\"#CCFFCC\"><font color=\"#000000\">(none)</font>"));
    EXPECT_NE(std::string::npos, out.find(">&lt;b&gt;not bold&lt;/b&gt;  next<"));
    out.clear();
    AppendActivityTableEnd(&out);
    EXPECT_EQ("</table>\r\n<br><hr><br>\r\n", out);
}

// The first and the last step show at once, however soon after another.
TEST(ExportProgress, TheFirstAndLastStepsShowAtOnce)
{
    EXPECT_TRUE(ProgressStepDue(1, 3));
    EXPECT_TRUE(ProgressStepDue(3, 3));
    EXPECT_TRUE(ProgressStepDue(1, 3));
}
