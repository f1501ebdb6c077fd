#include "store/label_lists.h"

#include "base/message_box.h"
#include "store/activity_record.h"
#include "store/database.h"
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
static void SeedList(const wchar_t* database, const wchar_t* const (&labels)[N])
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count, false);
    if (!handle)
        return;
    for (const wchar_t* label : labels)
        WriteTextRecordDB(handle, label);
    CloseHandle(handle);
}

void SeedDefaultLabels()
{
    SeedList(EVENTS_DATABASE, DEFAULT_EVENTS);
    SeedList(NEXT_ACTION_DATABASE, DEFAULT_NEXT_ACTIONS);
    for (const wchar_t* empty : {USER1_DATABASE, USER2_DATABASE, USER3_DATABASE}) {
        int count = 0;
        HANDLE handle = OpenLabels(empty, &count, false);
        if (handle)
            CloseHandle(handle);
    }
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

void AddLabelIfMissing(const wchar_t* database, const wchar_t* label)
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return;
    CEPROPVAL key = {};
    key.propid = PROPID_TEXT;
    key.val.lpwstr = const_cast<LPWSTR>(label);
    DWORD index = 0;
    // The sort order is case-sensitive, so only an exact match counts.
    if (CeSeekDatabase(handle, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), &index) == 0)
        WriteTextRecordDB(handle, label);
    CloseHandle(handle);
}

void AppendLabel(const wchar_t* database, const wchar_t* label)
{
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return;
    WriteTextRecordDB(handle, label);
    CloseHandle(handle);
}

static void ReportDeleteFailure(DWORD error)
{
    const wchar_t* text = L"Could not delete text database 'saveLBTextToDatabase'";
    if (error == ERROR_SHARING_VIOLATION)
        text = L"Could not delete text database: file is in use 'saveLBTextToDatabase'";
    else if (error == ERROR_INVALID_PARAMETER)
        text = L"Could not delete text database: invalid param used 'saveLBTextToDatabase'";
    AppMessageBox(nullptr, text, L"Error", 0);
}

CEOID ReplaceLabels(const wchar_t* database, const std::vector<std::wstring>& labels)
{
    CEOID oid = 0;
    int count = 0;
    HANDLE handle = OpenCreateDB(&oid, &count, database, PROPID_TEXT, true);
    if (!handle)
        return 0;
    if (!CloseHandle(handle))
        AppMessageBox(nullptr, L"Could not close database 'saveLBTextToDatabase'", L"Error", 0);
    if (!CeDeleteDatabaseEx(&volumeGuid, oid)) {
        ReportDeleteFailure(GetLastError());
        return 0;
    }
    handle = OpenCreateDB(&oid, &count, database, PROPID_TEXT, true);
    if (!handle) {
        AppMessageBox(nullptr, L"Error in call to OpenCreateDB 'saveLBTextToDatabase'", L"Error", 0);
        return 0;
    }

    CEOID result = 0;
    for (const std::wstring& label : labels)
        result = WriteTextRecordDB(handle, label.c_str());
    CloseHandle(handle);
    return result;
}
