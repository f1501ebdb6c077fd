// A process killed in the middle of a write, on real files: the bytes are
// counted, and the write that reaches the limit puts only its first part on
// disk before the process dies there. POSIX only (it raises SIGKILL).
#pragma once
#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/cedb/core/file_system.h"

namespace cedb_test {

class DyingFileSystem : public cedb::FileSystem {
public:
    DyingFileSystem(uint64_t limit, cedb::FileSystem* real) : limit(limit), real(real) {}
    cedb::Status Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out) override
    {
        std::unique_ptr<cedb::File> file;
        cedb::Status s = real->Open(path, mode, &file);
        if (s.ok()) out->reset(new DyingFile(std::move(file), this));
        return s;
    }
    // Locks are real, so writers in other processes take turns as they would.
    cedb::Status OpenLock(const std::string& path, std::unique_ptr<cedb::FileLock>* out) override
    {
        return real->OpenLock(path, out);
    }
    cedb::Status Rename(const std::string& from, const std::string& to) override { return real->Rename(from, to); }
    cedb::Status Remove(const std::string& path) override { return real->Remove(path); }
    bool Exists(const std::string& path) override { return real->Exists(path); }

    const uint64_t limit;
    uint64_t written = 0;

private:
    class DyingFile : public cedb::File {
    public:
        DyingFile(std::unique_ptr<cedb::File> file, DyingFileSystem* fs) : file(std::move(file)), fs(fs) {}
        cedb::Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
        {
            return file->Read(offset, buf, n, got);
        }
        cedb::Status Write(uint64_t offset, const void* data, size_t n) override
        {
            if (n && fs->limit - fs->written <= n) {
                (void)file->Write(offset, data, static_cast<size_t>(fs->limit - fs->written));
                raise(SIGKILL);
            }
            fs->written += n;
            return file->Write(offset, data, n);
        }
        // A killed process loses nothing it wrote, synced or not.
        cedb::Status Sync() override { return cedb::Status::Ok(); }
        cedb::Status Truncate(uint64_t size) override { return file->Truncate(size); }
        cedb::Status Size(uint64_t* size) override { return file->Size(size); }

    private:
        std::unique_ptr<cedb::File> file;
        DyingFileSystem* fs;
    };
    cedb::FileSystem* real;
};

}  // namespace cedb_test
