// A disk that runs out of space: wraps another file system and fails, with
// ERROR_DISK_FULL, any write that would grow its files by more than the free
// bytes left, after putting down the part that fits, as a real disk does.
// Truncating and removing files gives their space back.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/cedb/core/forwarding_file_system.h"

namespace cedb_test {

class FullDiskFileSystem : public cedb::ForwardingFileSystem {
public:
    explicit FullDiskFileSystem(cedb::FileSystem* base) : ForwardingFileSystem(base) {}

    // Room left for writes to grow files; unlimited until set.
    void SetFreeBytes(uint64_t n) { free_ = n, limited_ = true; }
    void SetUnlimited() { limited_ = false; }
    uint64_t free_bytes() const { return free_; }

    cedb::Status Rename(const std::string& from, const std::string& to) override;
    cedb::Status Remove(const std::string& path) override;

    // Takes `grown` bytes of free space; false (taking none) when there is
    // not that much left.
    bool Take(uint64_t grown);
    void GiveBack(uint64_t freed);

private:
    std::unique_ptr<cedb::File> Wrap(const std::string&, cedb::OpenMode, std::unique_ptr<cedb::File> file) override;
    uint64_t SizeOf(const std::string& path);

    uint64_t free_ = 0;
    bool limited_ = false;
};

}  // namespace cedb_test
