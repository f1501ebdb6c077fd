#include "platform/cedb/core/file_system.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace cedb {
namespace {

constexpr size_t kCopyChunk = 1u << 20;

class LocalLock : public FileLock {
public:
    Status Lock(uint32_t, bool, bool) override { return Status::Ok(); }
    void Unlock(uint32_t) override {}
};

}  // namespace

Status FileSystem::OpenLock(const std::string&, std::unique_ptr<FileLock>* out)
{
    out->reset(new LocalLock);
    return Status::Ok();
}

void FileSystem::Pause(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

static FileSystem* serviceOverride;

FileSystem* ServiceFileSystem() { return serviceOverride ? serviceOverride : FileSystem::Default(); }

void SetServiceFileSystemForTesting(FileSystem* fs) { serviceOverride = fs; }

Status ReadAll(File* f, std::string* out)
{
    uint64_t size = 0;
    Status s = f->Size(&size);
    if (!s.ok()) return s;
    if (size > (uint64_t(1) << 34)) return Status::Error(kErrNotEnoughMemory, "volume file too large");
    out->resize(static_cast<size_t>(size));
    size_t got = 0;
    s = f->Read(0, out->empty() ? nullptr : &(*out)[0], out->size(), &got);
    if (!s.ok()) return s;
    out->resize(got);
    return Status::Ok();
}

Status ReplaceByRename(FileSystem* fs, const std::string& from, const std::string& to)
{
    uint32_t waited = 0, pause = 10;
    for (;;) {
        Status s = fs->Rename(from, to);
        if (s.ok() || (s.code != kErrAccessDenied && s.code != kErrSharingViolation)) return s;
        if (waited >= kRenameRetryMilliseconds)
            return Status::Error(s.code, "could not replace " + to + ": another program kept it or " + from +
                                             " in use for " + std::to_string(waited) + " ms (" + s.message + ")");
        fs->Pause(pause);
        waited += pause;
        pause = std::min<uint32_t>(pause * 2, 250);
    }
}

Status CopyToNewFile(FileSystem* fs, const std::string& from, const std::string& to)
{
    std::unique_ptr<File> in, out;
    Status s = fs->Open(from, OpenMode::kReadOnly, &in);
    if (!s.ok()) return s;
    if (!(s = fs->Open(to, OpenMode::kCreateNew, &out)).ok()) return s;
    std::string buf(kCopyChunk, '\0');
    for (uint64_t at = 0;;) {
        size_t got = 0;
        if (!(s = in->Read(at, &buf[0], buf.size(), &got)).ok()) return s;
        if (got == 0) break;
        if (!(s = out->Write(at, buf.data(), got)).ok()) return s;
        at += got;
    }
    return out->Sync();
}

}  // namespace cedb
