#include "store/store_error.h"

static DWORD lastFailure;
static unsigned failures;

void NoteStoreFailure(DWORD error)
{
    lastFailure = error;
    ++failures;
}

StoreChanges::StoreChanges() : start(failures) {}

bool StoreChanges::Failed() const
{
    return failures != start;
}

DWORD LastStoreFailure()
{
    return lastFailure;
}

namespace {

struct StoreErrorText {
    DWORD error;
    const wchar_t* name;
    const wchar_t* reason;
    const wchar_t* advice;  // what to do before `retry`
};

const StoreErrorText ERROR_TEXTS[] = {
    {ERROR_DISK_FULL, L"Disk Full", L"the disk is full", L"Free some space"},
    {ERROR_HANDLE_DISK_FULL, L"Disk Full", L"the disk is full", L"Free some space"},
    {ERROR_NOT_ENOUGH_MEMORY, L"Not Enough Memory", L"there is not enough memory", L"Close other programs"},
    {ERROR_OUTOFMEMORY, L"Not Enough Memory", L"there is not enough memory", L"Close other programs"},
    {ERROR_INVALID_PARAMETER, L"Invalid Parameter", L"a value was not accepted", L"Check what was entered"},
    {ERROR_ACCESS_DENIED, L"Access Denied", L"the database file may not be written",
     L"Make Vantaro's folder writable"},
    {ERROR_SHARING_VIOLATION, L"File In Use", L"the database is in use", L"Close what uses it"},
};

const StoreErrorText UNKNOWN = {0, L"Unknown Error", L"the disk reported an error", L"Check the disk"};

const StoreErrorText& Find(DWORD error)
{
    for (const StoreErrorText& text : ERROR_TEXTS)
        if (text.error == error)
            return text;
    return UNKNOWN;
}

}  // namespace

const wchar_t* StoreErrorName(DWORD error)
{
    return Find(error).name;
}

std::wstring StoreFailureReason(DWORD error, const wchar_t* retry)
{
    const StoreErrorText& text = Find(error);
    std::wstring reason = text.reason;
    if (&text == &UNKNOWN)
        reason += L" (" + std::to_wstring(error) + L")";
    return reason + L". " + text.advice + L", then " + retry + L".";
}

std::wstring StoreFailureText(const wchar_t* what, DWORD error, const wchar_t* retry)
{
    return std::wstring(what) + L": " + StoreFailureReason(error, retry);
}
