#include "store/label_lists.h"

#include "base/message_box.h"
#include "store/activity_record.h"
#include "store/database.h"
#include "store/store_error.h"
#include "store/volume.h"

#include <vector>

static const wchar_t* const DEFAULT_EVENTS[] = {
    L"Email", L"Letter", L"Phone Call", L"Meeting", L"Presentation", L"On-Site Visit",
};
static const wchar_t* const DEFAULT_NEXT_ACTIONS[] = {
    L"Return Phone Call", L"Meeting", L"On-Site Visit", L"Fax Quote", L"Email Response",
};

static HANDLE OpenLabels(const wchar_t* database, int* count, bool descending = true)
{
    CEOID oid = 0;
    return OpenCreateDB(&oid, count, database, PROPID_TEXT, descending);
}

template <size_t N>
static bool SeedList(const wchar_t* database, const wchar_t* const (&labels)[N])
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count, false);
    if (!handle)
        return false;
    bool kept = true;
    for (const wchar_t* label : labels)
        kept = WriteTextRecordDB(handle, label) != 0 && kept;
    CloseHandle(handle);
    return kept;
}

bool SeedDefaultLabels()
{
    bool kept = SeedList(EVENTS_DATABASE, DEFAULT_EVENTS);
    kept = SeedList(NEXT_ACTION_DATABASE, DEFAULT_NEXT_ACTIONS) && kept;
    for (const wchar_t* empty : {USER1_DATABASE, USER2_DATABASE, USER3_DATABASE}) {
        int count = 0;
        HANDLE handle = OpenLabels(empty, &count, false);
        if (handle)
            CloseHandle(handle);
        kept = handle != nullptr && kept;
    }
    return kept;
}

std::vector<std::wstring> ReadLabels(const wchar_t* database)
{
    std::vector<std::wstring> labels;
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return labels;
    wchar_t label[LABEL_READ_CAPACITY];
    for (int i = 0; i < count; ++i) {
        ReadTextRecordDB(handle, label, LABEL_READ_CAPACITY);
        labels.emplace_back(label);
    }
    CloseHandle(handle);
    return labels;
}

bool AddLabelIfMissing(const wchar_t* database, const wchar_t* label)
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return false;
    bool kept = true;
    CEPROPVAL key = {};
    key.propid = PROPID_TEXT;
    key.val.lpwstr = const_cast<LPWSTR>(label);
    DWORD index = 0;
    // The sort order is case-sensitive, so only an exact match counts.
    if (CeSeekDatabase(handle, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), &index) == 0)
        kept = WriteTextRecordDB(handle, label) != 0;
    CloseHandle(handle);
    return kept;
}

bool AppendLabel(const wchar_t* database, const wchar_t* label)
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return false;
    const bool kept = WriteTextRecordDB(handle, label) != 0;
    CloseHandle(handle);
    return kept;
}

static void WriteLabels(const wchar_t* database, const std::vector<std::wstring>& labels)
{
    CEOID oid = 0;
    int count = 0;
    HANDLE handle = OpenCreateDB(&oid, &count, database, PROPID_TEXT, true);
    if (!handle)
        return;
    if (!CloseHandle(handle))
        AppMessageBox(nullptr, L"Could not close database 'saveLBTextToDatabase'", L"Error", 0);
    if (!NoteWriteResult(CeDeleteDatabaseEx(&volumeGuid, oid)))
        return;
    handle = OpenCreateDB(&oid, &count, database, PROPID_TEXT, true);
    if (!handle)
        return;
    for (const std::wstring& label : labels)
        WriteTextRecordDB(handle, label.c_str());
    CloseHandle(handle);
}

bool ReplaceLabels(const wchar_t* database, const std::vector<std::wstring>& labels)
{
    // One flush for the whole list: a failure anywhere drops every step, so
    // the list is the new one or still the old one, never half of either.
    StoreChanges changes;
    BeginBulkChange();
    WriteLabels(database, labels);
    const bool flushed = EndBulkChange();
    return flushed && !changes.Failed();
}
