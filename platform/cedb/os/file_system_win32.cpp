// Win32 files. A volume one process owns is opened without sharing, so
// another process gets ERROR_SHARING_VIOLATION from CreateFileW; a shared
// volume is opened for reading and writing by all that share it, and they
// coordinate through byte-range locks on a file beside it (LockFileEx).
#include "platform/cedb/core/file_system.h"
#include "platform/cedb/os/long_path.h"

#include <windows.h>

namespace cedb {
namespace {

// A path in the form the file calls take at any length.
std::wstring Widen(const std::string& s)
{
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return ExtendedLengthPath(w);
}

Status LastError(const std::string& what)
{
    DWORD err = GetLastError();
    uint32_t code = err;
    if (err == ERROR_PATH_NOT_FOUND) code = kErrFileNotFound;
    else if (err == ERROR_HANDLE_DISK_FULL) code = kErrDiskFull;
    else if (err == ERROR_OUTOFMEMORY) code = kErrNotEnoughMemory;
    if (code == 0) code = kErrIoDevice;
    return Status::Error(code, what + " failed with error " + std::to_string(err));
}

class Win32File : public File {
public:
    Win32File(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
    ~Win32File() override { CloseHandle(h_); }

    Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
    {
        return Transfer(offset, buf, n, got, false);
    }

    Status Write(uint64_t offset, const void* data, size_t n) override
    {
        size_t done = 0;
        return Transfer(offset, const_cast<void*>(data), n, &done, true);
    }

    Status Sync() override
    {
        if (!FlushFileBuffers(h_)) return LastError("sync " + path_);
        return Status::Ok();
    }

    Status Truncate(uint64_t size) override
    {
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(size);
        if (!SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) || !SetEndOfFile(h_)) return LastError("truncate " + path_);
        return Status::Ok();
    }

    Status Size(uint64_t* size) override
    {
        LARGE_INTEGER li;
        if (!GetFileSizeEx(h_, &li)) return LastError("size " + path_);
        *size = static_cast<uint64_t>(li.QuadPart);
        return Status::Ok();
    }

private:
    // Positioned reads and writes in chunks that fit a DWORD; a read stops
    // early at the end of the file.
    Status Transfer(uint64_t offset, void* buf, size_t n, size_t* done_out, bool write)
    {
        size_t done = 0;
        while (done < n) {
            OVERLAPPED ov = {};
            uint64_t at = offset + done;
            ov.Offset = static_cast<DWORD>(at);
            ov.OffsetHigh = static_cast<DWORD>(at >> 32);
            DWORD chunk = static_cast<DWORD>(n - done > (1u << 30) ? (1u << 30) : n - done);
            DWORD moved = 0;
            char* p = static_cast<char*>(buf) + done;
            BOOL ok = write ? WriteFile(h_, p, chunk, &moved, &ov) : ReadFile(h_, p, chunk, &moved, &ov);
            if (!ok) {
                if (!write && GetLastError() == ERROR_HANDLE_EOF) break;
                return LastError((write ? "write " : "read ") + path_);
            }
            if (moved == 0) {
                if (write) return LastError("write " + path_);
                break;
            }
            done += moved;
        }
        *done_out = done;
        return Status::Ok();
    }

    HANDLE h_;
    std::string path_;
};

class Win32Lock : public FileLock {
public:
    explicit Win32Lock(HANDLE h) : h_(h) {}
    ~Win32Lock() override { CloseHandle(h_); }

    Status Lock(uint32_t slot, bool exclusive, bool wait) override
    {
        OVERLAPPED ov = {};
        ov.Offset = slot;
        DWORD flags = (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
        if (LockFileEx(h_, flags, 0, 1, 0, &ov)) return Status::Ok();
        if (GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING)
            return Status::Error(kErrLockViolation, "volume is busy");
        return LastError("lock");
    }

    void Unlock(uint32_t slot) override
    {
        OVERLAPPED ov = {};
        ov.Offset = slot;
        UnlockFileEx(h_, 0, 1, 0, &ov);
    }

private:
    HANDLE h_;
};

class Win32FileSystem : public FileSystem {
public:
    Status Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override
    {
        DWORD access = GENERIC_READ, share = 0, disp = OPEN_EXISTING;
        if (mode == OpenMode::kReadOnly || mode == OpenMode::kShared) share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        if (mode != OpenMode::kReadOnly) access |= GENERIC_WRITE;
        if (mode == OpenMode::kCreateNew) disp = CREATE_NEW;
        HANDLE h = CreateFileW(Widen(path).c_str(), access, share, nullptr, disp, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_SHARING_VIOLATION)
                return Status::Error(kErrSharingViolation, path + " is in use by another process");
            return LastError("open " + path);
        }
        out->reset(new Win32File(h, path));
        return Status::Ok();
    }

    Status OpenLock(const std::string& path, std::unique_ptr<FileLock>* out) override
    {
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return LastError("open " + path);
        out->reset(new Win32Lock(h));
        return Status::Ok();
    }

    Status Rename(const std::string& from, const std::string& to) override
    {
        const std::wstring target = Widen(to);
        if (!MoveFileExW(Widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return LastError("rename " + from);
        // MOVEFILE_WRITE_THROUGH does nothing for a rename on one volume.
        // Flushing the renamed file commits NTFS's journal, which holds the
        // rename; the folder is flushed too where the file system allows it.
        HANDLE h = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        // The move is done: a failure from here on is not worth a retry.
        Status s;
        if (h == INVALID_HANDLE_VALUE || !FlushFileBuffers(h))
            s = Status::Error(kErrWriteFault, LastError("flush renamed " + to).message);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        const size_t slash = target.find_last_of(L"\\/");
        if (slash != std::wstring::npos) {
            HANDLE dir = CreateFileW(target.substr(0, slash).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (dir != INVALID_HANDLE_VALUE) {
                FlushFileBuffers(dir);
                CloseHandle(dir);
            }
        }
        return s;
    }

    Status Remove(const std::string& path) override
    {
        if (!DeleteFileW(Widen(path).c_str())) {
            DWORD err = GetLastError();
            if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) return LastError("remove " + path);
        }
        return Status::Ok();
    }

    bool Exists(const std::string& path) override
    {
        return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

}  // namespace

FileSystem* FileSystem::Default()
{
    static Win32FileSystem fs;
    return &fs;
}

}  // namespace cedb
