// Database and record operations on the program's volume.
#pragma once
#include "platform/cedb/windbase.h"

#include <cstddef>

// The single string property of a text record (label lists and profiles).
constexpr CEPROPID PROPID_TEXT = 0x0014001F;

// Opens a database of the volume by name, creating it when it is missing with
// three sort orders: the caller's property (descending when asked), then the
// contact id and the last flag, both ascending. Returns no handle (null) on
// failure; *oid and *count receive the database's object id and record count.
HANDLE OpenCreateDB(CEOID* oid, int* count, const wchar_t* name, CEPROPID sortProperty, bool descending);

// The sort properties of the named database, in its order, into properties
// (room for CEDB_MAXSORTORDER); their number, or -1 when the volume holds no
// such database.
int ReadSortPropertiesDB(const wchar_t* name, CEPROPID* properties);

// Writers return 0 (false) when the change failed or could not be flushed;
// it is then gone, and the reason noted for the caller to report
// (store/store_error.h).
CEOID WriteTextRecordDB(HANDLE database, const wchar_t* text);
// Reads the record at the current position (the position then moves on).
CEOID ReadTextRecordDB(HANDLE database, wchar_t* buffer, size_t capacity);
bool DeleteRecordDB(HANDLE database, CEOID oid);

int CountActivityRecordsDB(const wchar_t* name);
int CountTextRecordsDB(const wchar_t* name);
// Deletes the database whose name matches exactly (letter case counts).
int DeleteNamedDB(const wchar_t* name);

// Notes the platform's last error as the store's failure when `result` is
// 0; true when it is not.
bool NoteWriteResult(CEOID result);
// Every change flushes the volume, except between BeginBulkChange and the
// matching EndBulkChange, which flushes once for all of them: a bulk
// operation then costs one sync, and an interruption loses only changes not
// yet flushed, each record whole or not at all. A failed flush (or write)
// drops every change not yet flushed, from memory too; each returns false
// then, with the reason noted.
bool FlushVolume();
void BeginBulkChange();
bool EndBulkChange();
