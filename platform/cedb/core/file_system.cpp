#include "platform/cedb/core/file_system.h"

namespace cedb {

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

}  // namespace cedb
