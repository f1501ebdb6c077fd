// What a failed database call means for the user, said in one place: the
// store records the platform's error where a write or flush fails, and the
// caller, who knows what the user was doing, reports it.
#pragma once
#include <windows.h>

#include <string>

// Remembers why the last store change failed (the platform's last error).
void NoteStoreFailure(DWORD error);
DWORD LastStoreFailure();

// Watches the store changes made while it lives, however deep in the store
// they were made: an operation of many changes reports once, at its end.
class StoreChanges {
public:
    StoreChanges();
    bool Failed() const;

private:
    unsigned start;
};

// The error's short name ("Disk Full", "Unknown Error"), for the mount message.
const wchar_t* StoreErrorName(DWORD error);

// "<reason>. <advice>, then <retry>.": "the disk is full. Free some space,
// then save again."
std::wstring StoreFailureReason(DWORD error, const wchar_t* retry);
// "<what>: <reason>. <advice>", where the advice ends in `retry`: for a full
// disk "The activity could not be saved: the disk is full. Free some space,
// then save again."
std::wstring StoreFailureText(const wchar_t* what, DWORD error, const wchar_t* retry);

// Shows that text for the last store failure in the program's message box,
// titled "Error" (store_error_box.cpp: the tools use the texts alone).
void ReportStoreFailure(HWND owner, const wchar_t* what, const wchar_t* retry);
