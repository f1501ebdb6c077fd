#include "tests/cedb/full_disk_fs.h"

#include <algorithm>

namespace cedb_test {
namespace {

using cedb::Status;

class FullDiskFile : public cedb::ForwardingFile {
public:
    FullDiskFile(FullDiskFileSystem* fs, std::unique_ptr<cedb::File> base) : ForwardingFile(std::move(base)), fs_(fs) {}

    Status Write(uint64_t offset, const void* data, size_t n) override
    {
        uint64_t size = 0;
        Status s = base_->Size(&size);
        if (!s.ok()) return s;
        const uint64_t grown = offset + n > size ? offset + n - size : 0;
        if (fs_->Take(grown)) return base_->Write(offset, data, n);
        // Fill what is left of the disk, then give up.
        const uint64_t room = std::max(size, offset) + fs_->free_bytes();
        const size_t fits = room > offset ? static_cast<size_t>(std::min<uint64_t>(n, room - offset)) : 0;
        if (fits && fs_->Take(offset + fits > size ? offset + fits - size : 0)) base_->Write(offset, data, fits);
        return Status::Error(cedb::kErrDiskFull, "the disk is full");
    }

    Status Truncate(uint64_t new_size) override
    {
        uint64_t size = 0;
        Status s = base_->Size(&size);
        if (!s.ok()) return s;
        if (new_size > size && !fs_->Take(new_size - size))
            return Status::Error(cedb::kErrDiskFull, "the disk is full");
        s = base_->Truncate(new_size);
        if (s.ok() && new_size < size) fs_->GiveBack(size - new_size);
        return s;
    }

private:
    FullDiskFileSystem* fs_;
};

}  // namespace

bool FullDiskFileSystem::Take(uint64_t grown)
{
    if (!limited_) return true;
    if (grown > free_) return false;
    free_ -= grown;
    return true;
}

void FullDiskFileSystem::GiveBack(uint64_t freed)
{
    if (limited_) free_ += freed;
}

uint64_t FullDiskFileSystem::SizeOf(const std::string& path)
{
    std::unique_ptr<cedb::File> f;
    uint64_t size = 0;
    if (base_->Exists(path) && base_->Open(path, cedb::OpenMode::kReadOnly, &f).ok()) f->Size(&size);
    return size;
}

std::unique_ptr<cedb::File> FullDiskFileSystem::Wrap(const std::string&, cedb::OpenMode, std::unique_ptr<cedb::File> file)
{
    return std::unique_ptr<cedb::File>(new FullDiskFile(this, std::move(file)));
}

Status FullDiskFileSystem::Rename(const std::string& from, const std::string& to)
{
    const uint64_t replaced = SizeOf(to);
    Status s = base_->Rename(from, to);
    if (s.ok()) GiveBack(replaced);
    return s;
}

Status FullDiskFileSystem::Remove(const std::string& path)
{
    const uint64_t size = SizeOf(path);
    Status s = base_->Remove(path);
    if (s.ok() && size) GiveBack(size);
    return s;
}

}  // namespace cedb_test
