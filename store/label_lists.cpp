#include "store/label_lists.h"

#include "shell/message_box.h"
#include "shell/text.h"
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

static void FillControl(HWND control, const wchar_t* database, UINT resetMessage, UINT addMessage)
{
    SendMessageW(control, resetMessage, 0, 0);
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return;
    wchar_t label[LABEL_READ_CAPACITY];
    for (int i = 0; i < count; ++i) {
        ReadTextRecordDB(handle, label, LABEL_READ_CAPACITY);
        SendMessageW(control, addMessage, 0, reinterpret_cast<LPARAM>(label));
    }
    CloseHandle(handle);
}

void FillLabelCombo(HWND combo, const wchar_t* database)
{
    FillControl(combo, database, CB_RESETCONTENT, CB_ADDSTRING);
}

void FillLabelList(HWND list, const wchar_t* database)
{
    FillControl(list, database, LB_RESETCONTENT, LB_ADDSTRING);
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

void AddLabel(HWND list, const wchar_t* database, const wchar_t* label)
{
    wchar_t trimmed[LABEL_CAPACITY];
    CopyText(trimmed, label);
    TrimSpaces(trimmed);
    // LB_FINDSTRINGEXACT ignores letter case: "email" is not added beside "Email".
    if (SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(trimmed)) != LB_ERR)
        return;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(trimmed));
    int count = 0;
    HANDLE handle = OpenLabels(database, &count);
    if (!handle)
        return;
    WriteTextRecordDB(handle, trimmed);
    CloseHandle(handle);
}

void DeleteSelectedLabels(HWND list, const wchar_t* database)
{
    LRESULT selected = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (selected <= 0)
        return;
    std::vector<int> indices(static_cast<size_t>(selected));
    selected = SendMessageW(list, LB_GETSELITEMS, indices.size(), reinterpret_cast<LPARAM>(indices.data()));
    if (selected <= 0)
        return;
    indices.resize(static_cast<size_t>(selected));
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    saveLBTextToDatabase(list, database, 0);
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

static std::wstring ListItemText(HWND list, int index)
{
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

CEOID saveLBTextToDatabase(HWND list, const wchar_t* database, int selectedOnly)
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

    std::vector<int> indices;
    if (selectedOnly) {
        indices.resize(MAX_SAVED_SELECTION);
        LRESULT selected = SendMessageW(list, LB_GETSELITEMS, MAX_SAVED_SELECTION,
                                        reinterpret_cast<LPARAM>(indices.data()));
        indices.resize(selected > 0 ? static_cast<size_t>(selected) : 0);
    } else {
        LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < items; ++i)
            indices.push_back(i);
    }
    CEOID result = 0;
    for (int index : indices)
        result = WriteTextRecordDB(handle, ListItemText(list, index).c_str());
    CloseHandle(handle);
    return result;
}
