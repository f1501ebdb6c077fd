// A process killed in the middle of a write, on real files: the bytes are
// counted, and the write that reaches the limit puts only its first part on
// disk before the process dies there. POSIX only (it raises SIGKILL).
#pragma once
#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/cedb/core/forwarding_file_system.h"

namespace cedb_test {

// Locks are the real file system's, so writers in other processes take turns
// as they would.
class DyingFileSystem : public cedb::ForwardingFileSystem {
public:
    DyingFileSystem(uint64_t limit, cedb::FileSystem* real) : ForwardingFileSystem(real), limit(limit) {}

    const uint64_t limit;
    uint64_t written = 0;

private:
    class DyingFile : public cedb::ForwardingFile {
    public:
        DyingFile(std::unique_ptr<cedb::File> file, DyingFileSystem* fs) : ForwardingFile(std::move(file)), fs(fs) {}
        cedb::Status Write(uint64_t offset, const void* data, size_t n) override
        {
            if (n && fs->limit - fs->written <= n) {
                (void)base_->Write(offset, data, static_cast<size_t>(fs->limit - fs->written));
                raise(SIGKILL);
            }
            fs->written += n;
            return base_->Write(offset, data, n);
        }
        // A killed process loses nothing it wrote, synced or not.
        cedb::Status Sync() override { return cedb::Status::Ok(); }

    private:
        DyingFileSystem* fs;
    };
    std::unique_ptr<cedb::File> Wrap(const std::string&, cedb::OpenMode, std::unique_ptr<cedb::File> file) override
    {
        return std::unique_ptr<cedb::File>(new DyingFile(std::move(file), this));
    }
};

}  // namespace cedb_test
