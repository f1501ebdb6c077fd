// The device's notification file: every call reads it and every change
// rewrites it whole under a device-wide lock, so programs running at the same
// time see one another's notifications and a crash never leaves half a file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cenotify {

// A string of the service's structures, which may be absent (null).
struct StoredText {
    bool present = false;
    std::wstring value;
};

struct StoredNotification {
    DWORD handle = 0;
    DWORD type = 0;
    DWORD event = 0;
    StoredText application, arguments;
    SYSTEMTIME start = {}, end = {};
    bool hasUser = false;
    DWORD actionFlags = 0;
    StoredText title, text, sound;
    DWORD maxSound = 0;
    DWORD reserved = 0;
    // Process whose host shows the bubble, 0 while none does, and when that
    // process started: process ids are soon given to other processes.
    DWORD shownBy = 0;
    uint64_t shownByStart = 0;
};

struct StoreContents {
    DWORD nextHandle = 1;
    std::vector<StoredNotification> items;
};

std::wstring StoreFolder();
std::wstring StorePath();

std::vector<uint8_t> EncodeStore(const StoreContents& contents);
// False for bytes that are not a whole, intact store.
bool DecodeStore(const std::vector<uint8_t>& bytes, StoreContents* contents);

// Reads the store under the lock. A missing file is an empty store; a damaged
// one is moved aside as "notifications.bad" and read as empty.
bool ReadStore(StoreContents* contents);
// Reads, lets change edit the contents and, when it returns true, writes them
// back, all under the lock. False when the lock or the write failed.
bool UpdateStore(const std::function<bool(StoreContents&)>& change);

} // namespace cenotify
