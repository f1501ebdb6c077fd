#include "platform/notify/notify_store.h"

#include <cwctype>

namespace cenotify {
namespace {

constexpr uint32_t STORE_MAGIC = 0x32544E56;  // "VNT2"
constexpr uint32_t ABSENT_TEXT = 0xFFFFFFFFu;
constexpr uint32_t LONGEST_TEXT = 32767;
constexpr DWORD LOCK_WAIT_MS = 10000;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(value, length);
}

bool EnsureFolder(const std::wstring& folder)
{
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != L'\\' && folder[i] != L'/')
            continue;
        std::wstring part = folder.substr(0, i);
        if (part.size() == 2 && part[1] == L':')
            continue;
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

uint32_t Checksum(const uint8_t* data, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

class Writer {
public:
    void U32(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void U16(uint16_t value)
    {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void Time(const SYSTEMTIME& time)
    {
        const WORD* fields = &time.wYear;
        for (int i = 0; i < 8; ++i)
            U16(fields[i]);
    }
    void Text(const StoredText& text)
    {
        if (!text.present) {
            U32(ABSENT_TEXT);
            return;
        }
        U32(static_cast<uint32_t>(text.value.size()));
        for (wchar_t c : text.value)
            U16(static_cast<uint16_t>(c));
    }
    std::vector<uint8_t> bytes;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool U32(uint32_t* value)
    {
        if (size - at < 4)
            return false;
        *value = 0;
        for (int i = 0; i < 4; ++i)
            *value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
        at += 4;
        return true;
    }
    bool U32(DWORD* value)
    {
        uint32_t read;
        if (!U32(&read))
            return false;
        *value = read;
        return true;
    }
    bool U16(uint16_t* value)
    {
        if (size - at < 2)
            return false;
        *value = static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
        at += 2;
        return true;
    }
    bool Time(SYSTEMTIME* time)
    {
        WORD* fields = &time->wYear;
        for (int i = 0; i < 8; ++i)
            if (!U16(&fields[i]))
                return false;
        return true;
    }
    bool Text(StoredText* text)
    {
        uint32_t length;
        if (!U32(&length))
            return false;
        text->present = length != ABSENT_TEXT;
        text->value.clear();
        if (!text->present)
            return true;
        if (length > LONGEST_TEXT || (size - at) / 2 < length)
            return false;
        text->value.resize(length);
        for (uint32_t i = 0; i < length; ++i) {
            uint16_t c = 0;
            U16(&c);
            text->value[i] = static_cast<wchar_t>(c);
        }
        return true;
    }
    bool AtEnd() const { return at == size; }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

// One mutex per device folder, named after a hash of its full path.
HANDLE OpenStoreLock()
{
    std::wstring folder = StoreFolder();
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH)
        folder.assign(full, length);
    uint32_t hash = 2166136261u;
    for (wchar_t c : folder) {
        wchar_t lower = static_cast<wchar_t>(towlower(c == L'/' ? L'\\' : c));
        hash = (hash ^ static_cast<uint32_t>(lower)) * 16777619u;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\VantaroNotifyStore-%08lx", static_cast<unsigned long>(hash));
    return CreateMutexW(nullptr, FALSE, name);
}

class StoreLock {
public:
    StoreLock() : mutex(OpenStoreLock())
    {
        if (!mutex)
            return;
        const DWORD wait = WaitForSingleObject(mutex, LOCK_WAIT_MS);
        // An abandoned lock is fine: the file is only ever replaced whole.
        held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~StoreLock()
    {
        if (held)
            ReleaseMutex(mutex);
        if (mutex)
            CloseHandle(mutex);
    }
    bool Held() const { return held; }

private:
    HANDLE mutex;
    bool held = false;
};

bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>* bytes, bool* missing)
{
    *missing = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20);
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes->empty() ||
             (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
              read == bytes->size());
    }
    CloseHandle(file);
    return ok;
}

bool ReadLocked(StoreContents* contents)
{
    *contents = StoreContents();
    const std::wstring path = StorePath();
    std::vector<uint8_t> bytes;
    bool missing = false;
    if (!ReadFileBytes(path, &bytes, &missing))
        return missing;
    if (DecodeStore(bytes, contents))
        return true;
    *contents = StoreContents();
    const std::wstring aside = StoreFolder() + L"\\notifications.bad";
    MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    return true;
}

bool WriteLocked(const StoreContents& contents)
{
    const std::wstring folder = StoreFolder();
    if (!EnsureFolder(folder))
        return false;
    const std::vector<uint8_t> bytes = EncodeStore(contents);
    const std::wstring temporary = folder + L"\\notifications.tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok)
        ok = MoveFileExW(temporary.c_str(), StorePath().c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileW(temporary.c_str());
    return ok;
}

} // namespace

std::wstring StoreFolder()
{
    std::wstring folder = Environment(L"VANTARO_DEVICE_DIR");
    if (folder.empty()) {
        std::wstring base = Environment(L"LOCALAPPDATA");
        if (base.empty())
            base = Environment(L"APPDATA");
        folder = base + L"\\Vantaro\\Device";
    }
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

std::wstring StorePath()
{
    return StoreFolder() + L"\\notifications.dat";
}

std::vector<uint8_t> EncodeStore(const StoreContents& contents)
{
    Writer out;
    out.U32(STORE_MAGIC);
    out.U32(contents.nextHandle);
    out.U32(static_cast<uint32_t>(contents.items.size()));
    for (const StoredNotification& item : contents.items) {
        out.U32(item.handle);
        out.U32(item.type);
        out.U32(item.event);
        out.Text(item.application);
        out.Text(item.arguments);
        out.Time(item.start);
        out.Time(item.end);
        out.U32(item.hasUser ? 1 : 0);
        out.U32(item.actionFlags);
        out.Text(item.title);
        out.Text(item.text);
        out.Text(item.sound);
        out.U32(item.maxSound);
        out.U32(item.reserved);
        out.U32(item.shownBy);
        out.U32(static_cast<uint32_t>(item.shownByStart));
        out.U32(static_cast<uint32_t>(item.shownByStart >> 32));
    }
    out.U32(Checksum(out.bytes.data(), out.bytes.size()));
    return out.bytes;
}

bool DecodeStore(const std::vector<uint8_t>& bytes, StoreContents* contents)
{
    if (bytes.size() < 16)
        return false;
    const size_t body = bytes.size() - 4;
    Reader tail(bytes.data() + body, 4);
    uint32_t checksum;
    tail.U32(&checksum);
    if (checksum != Checksum(bytes.data(), body))
        return false;

    Reader in(bytes.data(), body);
    uint32_t magic, count;
    StoreContents read;
    if (!in.U32(&magic) || magic != STORE_MAGIC || !in.U32(&read.nextHandle) || !in.U32(&count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        StoredNotification item;
        DWORD hasUser = 0;
        uint32_t startLow = 0, startHigh = 0;
        if (!in.U32(&item.handle) || !in.U32(&item.type) || !in.U32(&item.event) ||
            !in.Text(&item.application) || !in.Text(&item.arguments) || !in.Time(&item.start) ||
            !in.Time(&item.end) || !in.U32(&hasUser) || !in.U32(&item.actionFlags) || !in.Text(&item.title) ||
            !in.Text(&item.text) || !in.Text(&item.sound) || !in.U32(&item.maxSound) ||
            !in.U32(&item.reserved) || !in.U32(&item.shownBy) || !in.U32(&startLow) || !in.U32(&startHigh))
            return false;
        item.shownByStart = (static_cast<uint64_t>(startHigh) << 32) | startLow;
        item.hasUser = hasUser != 0;
        read.items.push_back(std::move(item));
    }
    if (!in.AtEnd())
        return false;
    *contents = std::move(read);
    return true;
}

bool ReadStore(StoreContents* contents)
{
    StoreLock lock;
    if (!lock.Held())
        return false;
    return ReadLocked(contents);
}

bool UpdateStore(const std::function<bool(StoreContents&)>& change)
{
    StoreLock lock;
    if (!lock.Held())
        return false;
    StoreContents contents;
    if (!ReadLocked(&contents))
        return false;
    if (!change(contents))
        return true;
    return WriteLocked(contents);
}

} // namespace cenotify
