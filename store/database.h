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

CEOID WriteTextRecordDB(HANDLE database, const wchar_t* text);
// Reads the record at the current position (the position then moves on).
CEOID ReadTextRecordDB(HANDLE database, wchar_t* buffer, size_t capacity);
void DeleteRecordDB(HANDLE database, CEOID oid);

int CountActivityRecordsDB(const wchar_t* name);
int CountTextRecordsDB(const wchar_t* name);
// Deletes the database whose name matches exactly (letter case counts).
int DeleteNamedDB(const wchar_t* name);

void ReportWriteError(CEOID result);
// Every change flushes the volume, except between BeginBulkChange and the
// matching EndBulkChange, which flushes once for all of them: a bulk
// operation then costs one sync, and an interruption loses only changes not
// yet flushed, each record whole or not at all.
void FlushVolume();
void BeginBulkChange();
void EndBulkChange();
