// The handheld's property database service, with its names, structures,
// constants and last-error codes, implemented over the portable engine in
// core/. Program code includes this header and links the `cedb` target.
//
// Desktop notes:
// - Database and enumeration handles are real kernel handles in the Windows
//   build (events the service keeps a duplicate of), so the real CloseHandle
//   closes them; the service notices a closed handle on its next call.
//   Natively CloseHandle is the service's own.
// - Read buffers come from LocalAlloc (or the caller's heap with
//   CeReadRecordPropsEx) and are released with LocalFree.
// - Seek values travel in a pointer-sized DWORD_PTR, since a 64-bit program
//   cannot pass a CEPROPVAL pointer in 32 bits.
// - The all-zero CEGUID is the device's object store: the volume
//   "device.vol" in the folder named by VANTARO_DEVICE_DIR, else in
//   %LOCALAPPDATA%\Vantaro\Device (natively ~/.local/share/vantaro/device).
// - CEDB_SEEK_END counts back from the last record: offset 0 (or +-n: n
//   records before it).
// - Boolean property values are stored as 0 or 1.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/cedb/native/win_types.h"
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef DWORD CEOID;
typedef CEOID* PCEOID;
typedef DWORD CEPROPID;
typedef CEPROPID* PCEPROPID;

typedef struct _CEGUID {
    DWORD Data1;
    DWORD Data2;
    DWORD Data3;
    DWORD Data4;
} CEGUID, *PCEGUID;

#define CREATE_SYSTEMGUID(pguid) ((pguid)->Data1 = (pguid)->Data2 = (pguid)->Data3 = (pguid)->Data4 = 0)
#define CREATE_INVALIDGUID(pguid) \
    ((pguid)->Data1 = (pguid)->Data2 = (pguid)->Data3 = (pguid)->Data4 = 0xFFFFFFFFu)
#define CHECK_SYSTEMGUID(pguid) \
    (((pguid)->Data1 | (pguid)->Data2 | (pguid)->Data3 | (pguid)->Data4) == 0)
#define CHECK_INVALIDGUID(pguid) \
    (((pguid)->Data1 & (pguid)->Data2 & (pguid)->Data3 & (pguid)->Data4) == 0xFFFFFFFFu)

#define CEVT_I2 2
#define CEVT_UI2 18
#define CEVT_I4 3
#define CEVT_UI4 19
#define CEVT_FILETIME 64
#define CEVT_LPWSTR 31
#define CEVT_BLOB 65
#define CEVT_BOOL 11
#define CEVT_R8 5

#define TypeFromPropID(propid) ((WORD)((propid) & 0xFFFF))
#define CEDB_MAXDBASENAMELEN 32
#define CEDB_MAXSORTORDER 4
#define CEDB_MAXSORTPROP 3
#define CEDB_MAXPROPDATASIZE 0xFFFF

typedef struct _CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
} CEBLOB;

typedef union _CEVALUNION {
    short iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
} CEVALUNION;

#define CEDB_PROPNOTFOUND 0x0100
#define CEDB_PROPDELETE 0x0200

typedef struct _CEPROPVAL {
    CEPROPID propid;
    WORD wLenData;
    WORD wFlags;
    CEVALUNION val;
} CEPROPVAL, *PCEPROPVAL;

#define CEDB_SORT_DESCENDING 0x00000001
#define CEDB_SORT_CASEINSENSITIVE 0x00000002
#define CEDB_SORT_UNKNOWNFIRST 0x00000004
#define CEDB_SORT_GENERICORDER 0x00000008

typedef struct _SORTORDERSPEC {
    CEPROPID propid;
    DWORD dwFlags;
} SORTORDERSPEC;

#define SORTORDERSPECEX_VERSION 1
typedef struct _SORTORDERSPECEX {
    WORD wVersion;
    WORD wNumProps;
    WORD wKeyFlags;
    WORD wReserved;
    CEPROPID rgPropID[CEDB_MAXSORTPROP];
    DWORD rgdwFlags[CEDB_MAXSORTPROP];
} SORTORDERSPECEX;

#define CEDB_VALIDNAME 0x0001
#define CEDB_VALIDTYPE 0x0002
#define CEDB_VALIDSORTSPEC 0x0004
#define CEDB_VALIDMODTIME 0x0008
#define CEDB_VALIDDBFLAGS 0x0010
#define CEDB_VALIDCREATE (CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS)
#define CEDB_NOCOMPRESS 0x00010000

typedef struct _CEDBASEINFO {
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    WORD wNumRecords;
    WORD wNumSortOrder;
    DWORD dwSize;
    FILETIME ftLastModified;
    SORTORDERSPEC rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFO;

#define CEDBASEINFOEX_VERSION 1
typedef struct _CEDBASEINFOEX {
    WORD wVersion;
    WORD wNumSortOrder;
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    DWORD dwNumRecords;
    DWORD dwSize;
    FILETIME ftLastModified;
    SORTORDERSPECEX rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFOEX;

typedef struct _CERECORDINFO {
    CEOID oidParent;
} CERECORDINFO;

#define OBJTYPE_INVALID 0
#define OBJTYPE_FILE 1
#define OBJTYPE_DIRECTORY 2
#define OBJTYPE_DATABASE 3
#define OBJTYPE_RECORD 4

typedef struct _CEOIDINFO {
    WORD wObjType;
    WORD wPad;
    union {
        CEDBASEINFO infDatabase;
        CERECORDINFO infRecord;
    };
} CEOIDINFO;

#define CEOIDINFOEX_VERSION 1
typedef struct _CEOIDINFOEX {
    WORD wVersion;
    WORD wObjType;
    union {
        CEDBASEINFOEX infDatabase;
        CERECORDINFO infRecord;
    };
} CEOIDINFOEX;

#define CEDB_AUTOINCREMENT 0x00000001
#define CEDB_ALLOWREALLOC 0x00000001

#define CEDB_SEEK_CEOID 0x00000001
#define CEDB_SEEK_BEGINNING 0x00000002
#define CEDB_SEEK_END 0x00000004
#define CEDB_SEEK_CURRENT 0x00000008
#define CEDB_SEEK_VALUESMALLER 0x00000010
#define CEDB_SEEK_VALUEFIRSTEQUAL 0x00000020
#define CEDB_SEEK_VALUEGREATER 0x00000040
#define CEDB_SEEK_VALUENEXTEQUAL 0x00000080
#define CEDB_SEEK_VALUESMALLEROREQUAL 0x00000100
#define CEDB_SEEK_VALUEGREATEROREQUAL 0x00000200

#define CEDB_EXNOTIFICATION 0x00000001

typedef struct _CENOTIFYREQUEST {
    DWORD dwSize;
    HWND hwnd;
    DWORD dwFlags;
    HANDLE hHeap;
    DWORD dwParam;
} CENOTIFYREQUEST, *PCENOTIFYREQUEST;

typedef struct _CENOTIFICATION {
    DWORD dwSize;
    DWORD dwParam;
    UINT uType;
    CEGUID guid;
    CEOID oid;
    CEOID oidParent;
} CENOTIFICATION, *PCENOTIFICATION;

#define WM_DBNOTIFICATION 0x03FD
#define DB_CEOID_CREATED (WM_USER + 0x1)
#define DB_CEOID_DATABASE_DELETED (WM_USER + 0x2)
#define DB_CEOID_RECORD_DELETED (WM_USER + 0x3)
#define DB_CEOID_FILE_DELETED (WM_USER + 0x4)
#define DB_CEOID_DIRECTORY_DELETED (WM_USER + 0x5)
#define DB_CEOID_CHANGED (WM_USER + 0x6)

BOOL CeMountDBVol(PCEGUID pceguid, LPCWSTR lpszVol, DWORD dwFlags);
BOOL CeUnmountDBVol(PCEGUID pceguid);
BOOL CeFlushDBVol(PCEGUID pceguid);

CEOID CeCreateDatabase(LPCWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder, SORTORDERSPEC* rgSortSpecs);
CEOID CeCreateDatabaseEx(PCEGUID pceguid, CEDBASEINFO* lpCEDBInfo);
CEOID CeCreateDatabaseEx2(PCEGUID pceguid, CEDBASEINFOEX* pInfo);
BOOL CeDeleteDatabase(CEOID oid);
BOOL CeDeleteDatabaseEx(PCEGUID pceguid, CEOID oid);

HANDLE CeOpenDatabase(PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags, HWND hwndNotify);
HANDLE CeOpenDatabaseEx(PCEGUID pceguid, PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags,
                        CENOTIFYREQUEST* pRequest);

CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex);
CEOID CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals, LPDWORD lpdwIndex);

CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                        LPDWORD lpcbBuffer);
CEOID CeReadRecordPropsEx(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                          LPDWORD lpcbBuffer, HANDLE hHeap);
CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal);
BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);

HANDLE CeFindFirstDatabase(DWORD dwDbaseType);
CEOID CeFindNextDatabase(HANDLE hEnum);
HANDLE CeFindFirstDatabaseEx(PCEGUID pceguid, DWORD dwDbaseType);
CEOID CeFindNextDatabaseEx(HANDLE hEnum, PCEGUID pceguid);

BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* oidInfo);
BOOL CeOidGetInfoEx(PCEGUID pceguid, CEOID oid, CEOIDINFO* oidInfo);
BOOL CeOidGetInfoEx2(PCEGUID pceguid, CEOID oid, CEOIDINFOEX* oidInfo);

BOOL CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotify);

#ifdef __cplusplus
}
#endif
