// The zeros a volume keeps ahead of its log would take a megabyte of small
// writes before a full disk is felt: two records larger than they are,
// written last, end the file where its log ends.
#pragma once
#include "platform/cedb/windbase.h"

#include <string>

// False when the scratch database or its records could not be written;
// each call adds two more.
inline bool UseUpLogReserve(CEGUID volume)
{
    CEDBASEINFO info = {};
    info.dwFlags = CEDB_VALIDNAME;
    lstrcpyW(info.szDbaseName, L"Scratch");
    CeCreateDatabaseEx(&volume, &info); // or it is there from an earlier call
    CEOID byName = 0;
    HANDLE handle = CeOpenDatabaseEx(&volume, &byName, info.szDbaseName, 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    std::wstring big(500000, L'x');
    CEPROPVAL value = {};
    value.propid = 0x0001001F;
    value.val.lpwstr = &big[0];
    bool written = true;
    for (int i = 0; i < 2 && written; ++i)
        written = CeWriteRecordProps(handle, 0, 1, &value) != 0;
    CloseHandle(handle);
    return written && CeFlushDBVol(&volume);
}

// Gives the space back: the scratch database goes.
inline bool FreeLogReserve(CEGUID volume)
{
    CEOID scratch = 0;
    HANDLE handle = CeOpenDatabaseEx(&volume, &scratch, const_cast<LPWSTR>(L"Scratch"), 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return CeDeleteDatabaseEx(&volume, scratch) != 0;
}

// The device's own store, where the contacts are.
inline CEGUID DeviceStore()
{
    CEGUID store;
    CREATE_SYSTEMGUID(&store);
    return store;
}
