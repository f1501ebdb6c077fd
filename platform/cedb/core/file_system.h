// The engine's only way to touch storage. Production uses the operating
// system's files; tests substitute layers that lose unsynced writes or fail
// chosen calls, which is how crash safety is checked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/cedb/core/status.h"

namespace cedb {

class File {
public:
    virtual ~File() = default;
    // Reads up to n bytes at offset; *got < n only at the end of the file.
    virtual Status Read(uint64_t offset, void* buf, size_t n, size_t* got) = 0;
    virtual Status Write(uint64_t offset, const void* data, size_t n) = 0;
    // Makes every earlier Write durable.
    virtual Status Sync() = 0;
    virtual Status Truncate(uint64_t size) = 0;
    virtual Status Size(uint64_t* size) = 0;
};

enum class OpenMode {
    kReadOnly,      // existing file, shared, never written
    kOpenExisting,  // existing file, exclusive
    kCreateNew,     // new file only, exclusive
    kShared,        // existing file, read and written by several processes
};

// Locks on single bytes of a file beside a volume, which every process that
// shares the volume opens: they say who has the volume open (shared holds)
// and who writes to it (one exclusive hold). The operating system drops a
// process's holds when it dies.
class FileLock {
public:
    virtual ~FileLock() = default;
    // Without `wait`, a hold another process keeps is refused with
    // kErrLockViolation at once.
    virtual Status Lock(uint32_t slot, bool exclusive, bool wait) = 0;
    virtual void Unlock(uint32_t slot) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Exclusive opens are owned by this process: another process trying the
    // same gets kErrSharingViolation.
    virtual Status Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) = 0;
    // Replaces `to` with `from` and makes the change durable. Some file
    // systems (FAT, exFAT) delete `to` first: a crash may leave only `from`.
    // Callers go through ReplaceByRename.
    virtual Status Rename(const std::string& from, const std::string& to) = 0;
    virtual Status Remove(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // The locks kept in `path`, created when missing. File systems of one
    // process (the tests') lend locks that every caller gets at once.
    virtual Status OpenLock(const std::string& path, std::unique_ptr<FileLock>* out);
    // Waits between retries of a refused call; tests pass time without waiting.
    virtual void Pause(uint32_t milliseconds);

    // The operating system's files (POSIX or Win32, chosen at build time).
    static FileSystem* Default();
};

// The file system under the database service's volumes: the operating
// system's, unless a test put another in its place (a full disk, say). The
// program never sets it.
FileSystem* ServiceFileSystem();
void SetServiceFileSystemForTesting(FileSystem* fs);  // null: the default again

// Whole-file helper used by mount and by tools.
Status ReadAll(File* f, std::string* out);

// Longest time a refused rename is retried.
constexpr uint32_t kRenameRetryMilliseconds = 2000;

// fs->Rename, retried for up to kRenameRetryMilliseconds while it is refused
// with access denied or a sharing violation: a virus scanner, the indexer or
// a synchronising client may hold either file for a moment.
Status ReplaceByRename(FileSystem* fs, const std::string& from, const std::string& to);

// Writes a copy of `from` as the new file `to`, which must not exist, and
// syncs it: the copy is durable once this succeeds.
Status CopyToNewFile(FileSystem* fs, const std::string& from, const std::string& to);

}  // namespace cedb
