#include "tests/store/store_fixture.h"

#include "base/text.h"
#include "platform/cedb/handle_table.h"
#include "store/database.h"
#include "store/volume.h"

#include <cwchar>

size_t OpenServiceHandles()
{
    return cedb::api::LiveApiHandles([](const cedb::api::HandleObject&) { return true; }).size();
}

size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    size_t bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

std::vector<std::wstring> ReadAllTexts(const wchar_t* database, bool descending)
{
    std::vector<std::wstring> texts;
    CEOID oid = 0;
    int count = 0;
    HANDLE handle = OpenCreateDB(&oid, &count, database, PROPID_TEXT, descending);
    if (!handle)
        return texts;
    wchar_t text[100];
    for (int i = 0; i < count; ++i) {
        if (ReadTextRecordDB(handle, text, 100))
            texts.push_back(text);
    }
    CloseHandle(handle);
    return texts;
}

std::vector<std::wstring> DatabaseNames()
{
    std::vector<std::wstring> names;
    HANDLE enumeration = CeFindFirstDatabaseEx(&volumeGuid, 0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return names;
    for (CEOID oid; (oid = CeFindNextDatabaseEx(enumeration, &volumeGuid)) != 0;) {
        CEOIDINFO info = {};
        if (CeOidGetInfoEx(&volumeGuid, oid, &info))
            names.push_back(info.infDatabase.szDbaseName);
    }
    CloseHandle(enumeration);
    return names;
}

ActivityRecord SampleActivity(CEOID contact, double nextDate, const wchar_t* event)
{
    ActivityRecord record = {};
    record.contactOid = contact;
    CopyText(record.fileAs, L"Marsh, Ilona");
    CopyText(record.event, event);
    CopyText(record.nextAction, L"Fax Quote");
    CopyText(record.notes, L"Asked for the spring price list.\r\nCall back after lunch.");
    CopyText(record.user1, L"North");
    CopyText(record.user2, L"Gold");
    CopyText(record.user3, L"Referral");
    record.date = 46300.25;
    record.nextDate = nextDate;
    record.remindIndex = 6;
    record.done = 0;
    return record;
}

bool SameActivity(const ActivityRecord& a, const ActivityRecord& b)
{
    return a.contactOid == b.contactOid && std::wcscmp(a.fileAs, b.fileAs) == 0 &&
           std::wcscmp(a.event, b.event) == 0 && std::wcscmp(a.nextAction, b.nextAction) == 0 &&
           std::wcscmp(a.notes, b.notes) == 0 && std::wcscmp(a.user1, b.user1) == 0 &&
           std::wcscmp(a.user2, b.user2) == 0 && std::wcscmp(a.user3, b.user3) == 0 && a.lastFlag == b.lastFlag &&
           a.date == b.date && a.nextDate == b.nextDate && a.remindIndex == b.remindIndex && a.done == b.done;
}
