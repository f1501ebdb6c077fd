#include "bench/cedb_vs_sqlite/sync_floor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace bench {
namespace {

class RecordedFile : public cedb::File {
public:
    RecordedFile(std::unique_ptr<cedb::File> file, SyncFloor* floor) : file_(std::move(file)), floor_(floor) {}
    cedb::Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
    {
        return file_->Read(offset, buf, n, got);
    }
    cedb::Status Write(uint64_t offset, const void* data, size_t n) override
    {
        floor_->Add(SyncFloor::Io{false, offset, n});
        return file_->Write(offset, data, n);
    }
    cedb::Status Sync() override
    {
        floor_->Add(SyncFloor::Io{true, 0, 0});
        return file_->Sync();
    }
    cedb::Status Truncate(uint64_t size) override { return file_->Truncate(size); }
    cedb::Status Size(uint64_t* size) override { return file_->Size(size); }

private:
    std::unique_ptr<cedb::File> file_;
    SyncFloor* floor_;
};

}  // namespace

SyncFloor::SyncFloor(const std::string& volume) : volume_(volume), real_(cedb::FileSystem::Default()) {}

SyncFloor::~SyncFloor()
{
    if (bare_ >= 0) close(bare_);
}

cedb::Status SyncFloor::Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out)
{
    std::unique_ptr<cedb::File> file;
    cedb::Status s = real_->Open(path, mode, &file);
    if (!s.ok() || path != volume_) {
        *out = std::move(file);
        return s;
    }
    out->reset(new RecordedFile(std::move(file), this));
    return s;
}

cedb::Status SyncFloor::Rename(const std::string& from, const std::string& to) { return real_->Rename(from, to); }
cedb::Status SyncFloor::Remove(const std::string& path) { return real_->Remove(path); }
bool SyncFloor::Exists(const std::string& path) { return real_->Exists(path); }

bool SyncFloor::Apply(const std::vector<Io>& ios)
{
    for (const Io& io : ios) {
        if (io.sync) {
            if (fdatasync(bare_) != 0) return false;
            continue;
        }
        if (bytes_.size() < io.size) bytes_.resize(io.size, 'v');
        if (pwrite(bare_, bytes_.data(), io.size, static_cast<off_t>(io.offset)) != static_cast<ssize_t>(io.size))
            return false;
    }
    return true;
}

bool SyncFloor::Prepare(const std::string& path)
{
    bare_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    return bare_ >= 0 && Apply(setup_);
}

bool SyncFloor::Replay(size_t i) { return i < operations_.size() && Apply(operations_[i]); }

}  // namespace bench
