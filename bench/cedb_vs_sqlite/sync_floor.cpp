#include "bench/cedb_vs_sqlite/sync_floor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace bench {
namespace {

class RecordedFile : public cedb::ForwardingFile {
public:
    RecordedFile(std::unique_ptr<cedb::File> file, SyncFloor* floor) : ForwardingFile(std::move(file)), floor_(floor) {}
    cedb::Status Write(uint64_t offset, const void* data, size_t n) override
    {
        floor_->Add(SyncFloor::Io{false, offset, n});
        return base_->Write(offset, data, n);
    }
    cedb::Status Sync() override
    {
        floor_->Add(SyncFloor::Io{true, 0, 0});
        return base_->Sync();
    }

private:
    SyncFloor* floor_;
};

}  // namespace

SyncFloor::SyncFloor(const std::string& volume) : ForwardingFileSystem(cedb::FileSystem::Default()), volume_(volume) {}

SyncFloor::~SyncFloor()
{
    if (bare_ >= 0) close(bare_);
}

std::unique_ptr<cedb::File> SyncFloor::Wrap(const std::string& path, cedb::OpenMode, std::unique_ptr<cedb::File> file)
{
    if (path != volume_) return file;
    return std::unique_ptr<cedb::File>(new RecordedFile(std::move(file), this));
}

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

bool SyncFloor::CopyVolume()
{
    const int from = open(volume_.c_str(), O_RDONLY);
    if (from < 0) return false;
    std::vector<char> chunk(1 << 20);
    off_t at = 0;
    ssize_t got;
    while ((got = pread(from, chunk.data(), chunk.size(), at)) > 0) {
        if (pwrite(bare_, chunk.data(), static_cast<size_t>(got), at) != got) break;
        at += got;
    }
    close(from);
    return got == 0 && fdatasync(bare_) == 0;
}

bool SyncFloor::Prepare(const std::string& path, bool copyVolume)
{
    bare_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    return bare_ >= 0 && (!copyVolume || CopyVolume()) && Apply(setup_);
}

bool SyncFloor::Replay(size_t i) { return i < operations_.size() && Apply(operations_[i]); }

}  // namespace bench
