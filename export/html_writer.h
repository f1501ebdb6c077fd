// The HTML report: the chosen contacts with their activities as tables,
// written to "ql_export.html" in the documents folder.
//
// Every text written into the page is escaped (& < > " '), and the page
// stays in its declared Windows-1252: a character that code page cannot hold
// is written as a numeric character reference.
#pragma once
#include <windows.h>

#include "contacts/field_catalogue.h"
#include "export/export_run.h"
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

#include <string>

constexpr wchar_t HTML_EXPORT_NAME[] = L"ql_export.html";

// Writes the report (replacing an earlier one only when it was written
// whole), with the progress window up, and tells the user the outcome.
// Without a chosen activity field there is nothing to report: it returns at
// once and touches nothing.
void ExportHtml(const CEOID* contactOids, int activityFieldCount, int contactFieldCount, int contactCount,
                const int* activityFields, const int* contactFields, const int* contacts);

// ---- The contact field grid ---------------------------------------------------

constexpr int GRID_ROWS = 7;
constexpr int GRID_COLUMNS = 4;
constexpr int NO_GRID_FIELD = -1;

// Where each chosen contact field goes in the contact table: up to seven
// rows a column, the address fields (Street Address to Zip/Postal Code) in a
// column of their own after the others.
struct ContactGrid {
    int rows;
    int columns;
    int field[GRID_ROWS][GRID_COLUMNS];   // contact field index or NO_GRID_FIELD
};
ContactGrid LayOutContactGrid(int contactFieldCount, const int* contactFields);
// The contact table's width in percent for a grid of that many columns.
int ContactTableWidth(int columns);

// ---- Writing the page -------------------------------------------------------------

enum HtmlAlign { ALIGN_TOP = 1, ALIGN_BOTTOM = 2, ALIGN_MIDDLE = 3, ALIGN_LEFT = 4, ALIGN_RIGHT = 5, ALIGN_CENTER = 6 };

// Text for the page: escaped, in Windows-1252, other characters (and
// controls the page cannot carry) as numeric references.
void AppendHtmlText(std::string* out, const wchar_t* text);
void AppendHtmlHead(std::string* out, const wchar_t* title);
void AppendHtmlEnd(std::string* out);
void AppendTableStart(std::string* out, int border, int widthPercent);
void AppendTableEnd(std::string* out);
// Text followed by a line end; the text is written as it is (markup).
void AppendHtmlLine(std::string* out, const char* markup);
void AppendHtmlRule(std::string* out);
// A cell; width below 1 gives none, percent 1 a percentage. The text is
// escaped.
void AppendHtmlCell(std::string* out, int width, int percent, bool bold, int verticalAlign, int align,
                    const char* background, const wchar_t* text);

// The banner with the generation date and time.
void AppendHtmlBanner(std::string* out, const wchar_t* date, const wchar_t* time);
// One contact's table of labels and values.
void AppendContactTable(std::string* out, const ContactGrid& grid, const ContactRecord& contact);
// The activity table's start with its header row, one activity's row, and
// the table's end with the rule after it.
void AppendActivityTableStart(std::string* out, const ExportChoice& choice);
void AppendActivityRow(std::string* out, const ExportChoice& choice, const ActivityRecord& activity);
void AppendActivityTableEnd(std::string* out);
