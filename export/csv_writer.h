// The CSV file: the chosen contacts with their activities, one row per
// activity, written to "ql_export.csv" in the documents folder.
//
// Every value is one double-quoted RFC 4180 field with its inner quotes
// doubled; a value a spreadsheet would run as a formula gets a leading
// apostrophe inside the quotes, so it stays text (phone numbers need none). The file is UTF-8 with a
// byte-order mark, which spreadsheet programs read as Unicode, and its lines
// end in CR LF.
#pragma once
#include <windows.h>

#include "contacts/field_catalogue.h"
#include "export/export_run.h"
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

#include <string>

constexpr wchar_t CSV_EXPORT_NAME[] = L"ql_export.csv";

// Writes the file (replacing an earlier one only when it was written whole),
// with the progress window up, and tells the user the outcome.
void ExportCsv(const CEOID* contactOids, int activityFieldCount, int contactFieldCount, int contactCount,
               const int* activityFields, const int* contactFields, const int* contacts);

// ---- The file's pieces -------------------------------------------------------

extern const char CSV_BYTE_ORDER_MARK[];

// Whether a spreadsheet would take a cell beginning with this as a formula
// that could call something; "+44 1463 555 210" could not.
bool StartsLikeFormula(const wchar_t* value);
// One quoted field.
void AppendCsvField(std::string* out, const wchar_t* value);
// The header line: the chosen contact labels, one comma, the chosen
// activity labels; CR LF.
void AppendCsvHeader(std::string* out, const ExportChoice& choice);
// One activity's line with its contact's values.
void AppendCsvRow(std::string* out, const ExportChoice& choice, const ContactRecord& contact,
                  const ActivityRecord& activity);
