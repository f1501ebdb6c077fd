// A disk that runs out of space: wraps another file system and fails, with
// ERROR_DISK_FULL, any write that would grow its files by more than the free
// bytes left, after putting down the part that fits, as a real disk does.
// Truncating and removing files gives their space back.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/cedb/core/file_system.h"

namespace cedb_test {

class FullDiskFileSystem : public cedb::FileSystem {
public:
    explicit FullDiskFileSystem(cedb::FileSystem* base) : base_(base) {}

    // Room left for writes to grow files; unlimited until set.
    void SetFreeBytes(uint64_t n) { free_ = n, limited_ = true; }
    void SetUnlimited() { limited_ = false; }
    uint64_t free_bytes() const { return free_; }

    cedb::Status Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out) override;
    cedb::Status Rename(const std::string& from, const std::string& to) override;
    cedb::Status Remove(const std::string& path) override;
    bool Exists(const std::string& path) override { return base_->Exists(path); }

    // Takes `grown` bytes of free space; false (taking none) when there is
    // not that much left.
    bool Take(uint64_t grown);
    void GiveBack(uint64_t freed);
    uint64_t SizeOf(const std::string& path);

private:
    cedb::FileSystem* base_;
    uint64_t free_ = 0;
    bool limited_ = false;
};

}  // namespace cedb_test
