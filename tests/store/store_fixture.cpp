#include "tests/store/store_fixture.h"

#include "base/text.h"
#include "store/database.h"
#include "store/volume.h"

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
