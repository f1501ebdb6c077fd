// What the two export writers put into their files, without windows: CSV
// fields and lines, the page's text and tables, and the contact grid.
#include "base/short_date.h"
#include "export/csv_writer.h"
#include "export/html_writer.h"
#include "platform/unicode/utf8.h"
#include "settings/field_labels.h"

#include <gtest/gtest.h>

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

TEST_F(ExportFormatTest, CsvFieldsAreQuotedWithInnerQuotesDoubled)
{
    EXPECT_EQ("\"\"", Field(L""));
    EXPECT_EQ("\"Baker, Ann\"", Field(L"Baker, Ann"));
    EXPECT_EQ("\"say \"\"hi\"\", then go\"", Field(L"say \"hi\", then go"));
    EXPECT_EQ("\"\"\"\"", Field(L"\""));
    // A line break stays inside the quotes, where RFC 4180 allows it.
    EXPECT_EQ("\"Main St 1\r\nFlat 2\"", Field(L"Main St 1\r\nFlat 2"));
}

TEST_F(ExportFormatTest, CsvValuesThatWouldRunAsFormulasStayText)
{
    for (const wchar_t* value : {L"=1+2", L"+44 20 7946 0000 =1", L"-5+cmd|' /C calc'!A0", L"@SUM(A1)", L"\tx",
                                 L"\r1", L"+1\t2", L"\xFF1D" L"1", L"\xFF0B" L"44 1463"}) {
        EXPECT_TRUE(StartsLikeFormula(value)) << Field(value);
        const std::string field = Field(value);
        EXPECT_EQ("\"'", field.substr(0, 2)) << field;
    }
    // Phone numbers and dates cannot call anything and stay as they are.
    for (const wchar_t* value : {L"+44 1463 555 210", L"-5", L"+1 (555) 010-2000", L"(01463) 555.210/11", L"+"}) {
        std::string text;
        unicode::AppendUtf8(&text, std::wstring_view(value));
        EXPECT_EQ('"' + text + '"', Field(value));
    }
    EXPECT_EQ("\"'=HYPERLINK(\"\"x\"\")\"", Field(L"=HYPERLINK(\"x\")"));
    // Only the first character counts.
    EXPECT_EQ("\"a=b-c\"", Field(L"a=b-c"));
    EXPECT_EQ("\"'\"", Field(L"'"));
}

TEST_F(ExportFormatTest, CsvIsUtf8AndLosesNoCharacter)
{
    EXPECT_EQ("\"\xC5\x81ukasz Wr\xC3\xB3" "bel\"", Field(L"\x0141ukasz Wr\x00F3" L"bel"));
    EXPECT_EQ("\"\xE2\x82\xAC\"", Field(L"\x20AC"));
    // A character beyond the basic plane, and a lone surrogate as U+FFFD.
    EXPECT_EQ("\"\xF0\x9F\x98\x80\"", Field(L"\xD83D\xDE00"));
    EXPECT_EQ("\"a\xEF\xBF\xBD" "b\"", Field(L"a\xD83D" L"b"));
    EXPECT_STREQ("\xEF\xBB\xBF", CSV_BYTE_ORDER_MARK);
}

TEST_F(ExportFormatTest, CsvLinesJoinTheHalvesWithOneComma)
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
}

TEST_F(ExportFormatTest, CsvActivityValues)
{
    wcscpy(activity.notes, L"first line\r\nsecond\nthird\r");
    wcscpy(activity.user3, L"u3");
    activity.nextDate = 0.0;
    EXPECT_EQ("\"\",\"first line  second third \",\"u3\"\r\n", Row({{}, {1, 4, 7}}));
    // Renamed labels head the columns.
    ASSERT_TRUE(RenameFieldLabel(21 + 4, L"=Remarks, \"all\""));
    std::string header;
    AppendCsvHeader(&header, Choice{{}, {4}}.Get());
    EXPECT_EQ("\"'=Remarks, \"\"all\"\"\"\r\n", header);
}

// --- HTML text --------------------------------------------------------------------

TEST_F(ExportFormatTest, HtmlTextIsEscaped)
{
    EXPECT_EQ("&lt;b&gt;bold&lt;/b&gt; &amp; &quot;q&quot; &#39;s&#39;", Html(L"<b>bold</b> & \"q\" 's'"));
    EXPECT_EQ("&lt;script&gt;alert(1)&lt;/script&gt;", Html(L"<script>alert(1)</script>"));
}

TEST_F(ExportFormatTest, HtmlTextKeepsWindows1252AndReferencesTheRest)
{
    EXPECT_EQ("&#321;ukasz Wr\xF3" "bel", Html(L"\x0141ukasz Wr\x00F3" L"bel"));
    EXPECT_EQ("\x80 \x9F \xE9 \xFF", Html(L"\x20AC \x0178 \x00E9 \x00FF"));
    EXPECT_EQ("&#26481;&#20140; &#128512;", Html(L"\x6771\x4EAC \xD83D\xDE00"));
    // Controls and lone surrogates cannot be carried by the page.
    EXPECT_EQ("a&#65533;b&#65533;c&#65533;", Html(L"a\x0001" L"b\x0081" L"c\xDC00"));
}

TEST_F(ExportFormatTest, HtmlCellsAndHead)
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
    EXPECT_NE(std::string::npos, head.find("charset=windows-1252"));
    EXPECT_NE(std::string::npos, head.find("<title>A&lt;B</title>"));
}

// --- The contact grid -------------------------------------------------------------

TEST_F(ExportFormatTest, GridPutsAddressFieldsInAColumnOfTheirOwn)
{
    const int three[] = {FILE_AS, TITLE, COMPANY};
    ContactGrid grid = LayOutContactGrid(3, three);
    EXPECT_EQ(3, grid.rows);
    EXPECT_EQ(1, grid.columns);
    EXPECT_EQ(30, ContactTableWidth(grid.columns));
    EXPECT_EQ(COMPANY, grid.field[2][0]);

    const int nameAndCity[] = {FILE_AS, CITY};
    grid = LayOutContactGrid(2, nameAndCity);
    EXPECT_EQ(1, grid.rows);
    EXPECT_EQ(2, grid.columns);
    EXPECT_EQ(50, ContactTableWidth(grid.columns));
    EXPECT_EQ(CITY, grid.field[0][1]);

    const int addressOnly[] = {STREET, ZIP};
    grid = LayOutContactGrid(2, addressOnly);
    EXPECT_EQ(2, grid.rows);
    EXPECT_EQ(2, grid.columns);
    EXPECT_EQ(NO_GRID_FIELD, grid.field[0][0]);
    EXPECT_EQ(ZIP, grid.field[1][1]);

    grid = LayOutContactGrid(0, nullptr);
    EXPECT_EQ(0, grid.rows);
    EXPECT_EQ(1, grid.columns);
}

TEST_F(ExportFormatTest, GridFillsSevenRowsAColumn)
{
    const int nine[] = {0, 1, 2, 3, 4, 9, 10, 11, 12};
    ContactGrid grid = LayOutContactGrid(9, nine);
    EXPECT_EQ(7, grid.rows);
    EXPECT_EQ(2, grid.columns);
    EXPECT_EQ(10, grid.field[6][0]);
    EXPECT_EQ(12, grid.field[1][1]);
    EXPECT_EQ(NO_GRID_FIELD, grid.field[2][1]);

    // Exactly seven: no empty column after them.
    grid = LayOutContactGrid(7, nine);
    EXPECT_EQ(1, grid.columns);

    std::vector<int> all;
    for (int f = 0; f < CONTACT_FIELD_COUNT; ++f)
        all.push_back(f);
    grid = LayOutContactGrid(CONTACT_FIELD_COUNT, all.data());
    EXPECT_EQ(4, grid.columns);
    EXPECT_EQ(90, ContactTableWidth(grid.columns));
    EXPECT_EQ(STREET, grid.field[0][3]);
    EXPECT_EQ(ZIP, grid.field[3][3]);
    EXPECT_EQ(20, grid.field[2][2]);
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
    size_t count = 0;
    for (size_t at = table.find(emptyCell); at != std::string::npos; at = table.find(emptyCell, at + 1))
        ++count;
    EXPECT_EQ(10u, count);
    EXPECT_NE(std::string::npos, table.find(">Company:<"));
    EXPECT_NE(std::string::npos, table.find("\">(none)</font>"));
    EXPECT_EQ(7u, [&] {
        size_t rows = 0;
        for (size_t at = table.find("<tr>"); at != std::string::npos; at = table.find("<tr>", at + 1))
            ++rows;
        return rows;
    }());
    const std::string end = "</table>\r\n<br>\r\n\r\n";
    EXPECT_EQ(table.size() - end.size(), table.rfind(end));
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
    EXPECT_NE(std::string::npos, out.find("bgcolor=\"#CCFFCC\"><font color=\"#000000\">(none)</font>"));
    EXPECT_NE(std::string::npos, out.find(">&lt;b&gt;not bold&lt;/b&gt;  next<"));
    out.clear();
    AppendActivityTableEnd(&out);
    EXPECT_EQ("</table>\r\n<br><hr><br>\r\n", out);
}
