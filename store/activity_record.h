// An activity: one record of "ActivityDatabase".
#pragma once
#include "platform/cedb/windbase.h"

constexpr CEPROPID PROPID_CONTACTOID = 0x00150003;
constexpr CEPROPID PROPID_EVENT = 0x0016001F;
constexpr CEPROPID PROPID_NEXTACTION = 0x0017001F;
constexpr CEPROPID PROPID_NOTES = 0x0018001F;
constexpr CEPROPID PROPID_USER1 = 0x0019001F;
constexpr CEPROPID PROPID_USER2 = 0x001A001F;
constexpr CEPROPID PROPID_USER3 = 0x001B001F;
constexpr CEPROPID PROPID_LASTFLAG = 0x001D000B;
constexpr CEPROPID PROPID_DATE = 0x001E0005;
constexpr CEPROPID PROPID_NEXTDATE = 0x001F0005;
constexpr CEPROPID PROPID_REMINDINDEX = 0x00200002;
constexpr CEPROPID PROPID_FILEAS = 0x0020001F;
constexpr CEPROPID PROPID_DONE = 0x00210002;

constexpr CEOID NEW_ACTIVITY_RECORD = 0xFFFFFFFFu;

constexpr int LABEL_CAPACITY = 40;
constexpr int NOTES_CAPACITY = 400;

struct ActivityRecord {
    CEOID contactOid;
    wchar_t fileAs[LABEL_CAPACITY];
    wchar_t event[LABEL_CAPACITY];
    wchar_t nextAction[LABEL_CAPACITY];
    wchar_t notes[NOTES_CAPACITY];
    wchar_t user1[LABEL_CAPACITY];
    wchar_t user2[LABEL_CAPACITY];
    wchar_t user3[LABEL_CAPACITY];
    BOOL lastFlag;
    double date;
    double nextDate;
    int remindIndex;
    int done;
};

// Writes all thirteen properties in one call of the service, so a record is
// never half-written. oid NEW_ACTIVITY_RECORD creates a record. Returns the
// record's object id once it is durable; 0 on failure, which leaves the
// record as it was and notes the reason for the caller to report.
CEOID WriteActivityRecordDB(HANDLE database, CEOID oid, ActivityRecord record);
// Changes only the last flag, or the contact and the last flag, of an
// existing record in one call of the service, without a seek or a read; the
// other properties stay as they are. Returns the object id, 0 on failure
// (noted, as for WriteActivityRecordDB).
CEOID WriteActivityLastFlagDB(HANDLE database, CEOID oid, BOOL lastFlag);
CEOID WriteActivityContactDB(HANDLE database, CEOID oid, CEOID contactOid, BOOL lastFlag);
// Fills the fields whose properties the record has; the others keep the
// caller's values. Returns the object id read, 0 on failure.
CEOID ReadActivityRecordDB(HANDLE database, CEOID oid, ActivityRecord* record);

// Reads the record at the handle's current position, which then moves on,
// into the record as ReadActivityRecordDB does. The properties go through
// *buffer (LocalAlloc'd, grown as needed, freed by the caller with
// LocalFree), so a run of reads allocates little.
CEOID ReadNextActivityRecordDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size);
// The same without a message: 0 at the end of the table or for a record
// that cannot be read, which leaves the handle where it was.
CEOID ReadCurrentActivityRecordDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size);
// The same for the contact, the dates, the last flag and FileAs only. At the
// end it returns 0 with *end set and reports nothing; a record that cannot be
// read is reported, returns 0 and leaves the handle on it.
CEOID ReadNextActivityKeysDB(HANDLE database, ActivityRecord* record, LPBYTE* buffer, DWORD* size, bool* end);
int ReadActivityNoteFlagDB(HANDLE database, CEOID oid);
int ReadActivityProcessedFlagDB(HANDLE database, CEOID oid);
