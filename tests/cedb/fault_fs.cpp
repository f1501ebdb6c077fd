#include "tests/cedb/fault_fs.h"

#include <algorithm>
#include <cstring>

namespace cedb_test {
namespace {

using cedb::Status;

void ApplyOp(std::string* s, const FaultFileSystem::Op& op)
{
    if (op.truncate) {
        s->resize(op.offset);
        return;
    }
    if (s->size() < op.offset + op.data.size()) s->resize(op.offset + op.data.size(), '\0');
    std::memcpy(&(*s)[op.offset], op.data.data(), op.data.size());
}

class FaultFile : public cedb::File {
public:
    FaultFile(FaultFileSystem* fs, std::shared_ptr<FaultFileSystem::State> st, bool exclusive)
        : fs_(fs), st_(std::move(st)), exclusive_(exclusive)
    {
    }
    ~FaultFile() override
    {
        if (exclusive_) st_->locked = false;
    }

    Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
    {
        Status s = fs_->Tick("read");
        if (!s.ok()) return s;
        const std::string& c = st_->current;
        size_t avail = offset >= c.size() ? 0 : std::min<size_t>(n, c.size() - offset);
        if (avail) std::memcpy(buf, c.data() + offset, avail);
        *got = avail;
        return Status::Ok();
    }

    Status Write(uint64_t offset, const void* data, size_t n) override
    {
        const bool down = fs_->powered_off();
        Status s = fs_->Tick("write");
        // A failing write may still have put part of its bytes down; none
        // land once the machine is down.
        size_t put = down ? 0 : s.ok() ? fs_->Landing(n) : n / 2;
        if (s.ok() && fs_->powered_off()) s = Status::Error(cedb::kErrIoDevice, "killed in a write");
        FaultFileSystem::Op op{false, offset, std::string(static_cast<const char*>(data), put)};
        ApplyOp(&st_->current, op);
        st_->unsynced.push_back(std::move(op));
        return s;
    }

    Status Sync() override
    {
        Status s = fs_->Tick("sync");
        if (!s.ok()) return s;
        // current is durable with the unsynced changes applied: applying
        // them costs what was written, copying current the whole file.
        for (const FaultFileSystem::Op& op : st_->unsynced) ApplyOp(&st_->durable, op);
        st_->unsynced.clear();
        fs_->CountSync();
        return Status::Ok();
    }

    Status Truncate(uint64_t size) override
    {
        Status s = fs_->Tick("truncate");
        if (!s.ok()) return s;
        FaultFileSystem::Op op{true, size, std::string()};
        ApplyOp(&st_->current, op);
        st_->unsynced.push_back(std::move(op));
        return Status::Ok();
    }

    Status Size(uint64_t* size) override
    {
        Status s = fs_->Tick("size");
        if (!s.ok()) return s;
        *size = st_->current.size();
        return Status::Ok();
    }

private:
    FaultFileSystem* fs_;
    std::shared_ptr<FaultFileSystem::State> st_;
    bool exclusive_;
};

}  // namespace

void FaultFileSystem::FailAt(uint64_t n, bool persistent)
{
    fail_at_ = n ? calls_ + n : 0;
    persistent_ = persistent;
}

void FaultFileSystem::RefuseRenames(int times, uint32_t code)
{
    refusals_ = times;
    refusal_code_ = code;
}

void FaultFileSystem::PowerOffAfterSyncs(uint64_t n)
{
    power_after_ = n ? syncs_ + n : 0;
    off_ = false;
}

Status FaultFileSystem::Tick(const char* what)
{
    ++calls_;
    if (off_) return Status::Error(cedb::kErrIoDevice, std::string("power is off: ") + what);
    if (fail_at_ && (calls_ == fail_at_ || (persistent_ && calls_ > fail_at_)))
        return Status::Error(cedb::kErrIoDevice, std::string("injected failure: ") + what);
    return Status::Ok();
}

size_t FaultFileSystem::Landing(size_t n)
{
    if (n && kill_at_ - written_ <= n) {
        n = static_cast<size_t>(kill_at_ - written_);
        off_ = true;
    }
    written_ += n;
    return n;
}

void FaultFileSystem::CountSync()
{
    ++syncs_;
    if (power_after_ && syncs_ >= power_after_) off_ = true;
}

void FaultFileSystem::Crash(Unsynced how, std::mt19937* rng)
{
    for (auto& kv : files_) {
        State& st = *kv.second;
        std::string disk = st.durable;
        for (const Op& op : st.unsynced) {
            if (how == Unsynced::kDropAll) break;
            if (how == Unsynced::kApplyAll) {
                ApplyOp(&disk, op);
                continue;
            }
            switch ((*rng)() % 3) {
            case 0: ApplyOp(&disk, op); break;
            case 1: break;
            default: {
                Op garbled = op;
                if (!garbled.truncate && !garbled.data.empty()) {
                    size_t flips = 1 + (*rng)() % 4;
                    for (size_t i = 0; i < flips; ++i)
                        garbled.data[(*rng)() % garbled.data.size()] ^= static_cast<char>(1 + (*rng)() % 255);
                }
                ApplyOp(&disk, garbled);
            }
            }
        }
        st.durable = st.current = disk;
        st.unsynced.clear();
        st.locked = false;
    }
    fail_at_ = 0;
    power_after_ = 0;
    kill_at_ = UINT64_MAX;
    off_ = false;
}

void FaultFileSystem::SetContents(const std::string& path, const std::string& bytes)
{
    auto st = std::make_shared<State>();
    st->durable = st->current = bytes;
    files_[path] = st;
}

bool FaultFileSystem::GetContents(const std::string& path, std::string* bytes) const
{
    auto it = files_.find(path);
    if (it == files_.end()) return false;
    *bytes = it->second->current;
    return true;
}

Status FaultFileSystem::Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out)
{
    Status s = Tick("open");
    if (!s.ok()) return s;
    auto it = files_.find(path);
    if (mode == cedb::OpenMode::kCreateNew) {
        if (it != files_.end()) return Status::Error(cedb::kErrFileExists, path + " exists");
        it = files_.emplace(path, std::make_shared<State>()).first;
    } else if (it == files_.end()) {
        return Status::Error(cedb::kErrFileNotFound, path + " not found");
    }
    bool exclusive = mode != cedb::OpenMode::kReadOnly;
    if (exclusive) {
        if (it->second->locked) return Status::Error(cedb::kErrSharingViolation, path + " is in use");
        it->second->locked = true;
    }
    out->reset(new FaultFile(this, it->second, exclusive));
    return Status::Ok();
}

Status FaultFileSystem::Rename(const std::string& from, const std::string& to)
{
    Status s = Tick("rename");
    if (!s.ok()) return s;
    auto it = files_.find(from);
    if (it == files_.end()) return Status::Error(cedb::kErrFileNotFound, from + " not found");
    if (refusals_ > 0) {
        --refusals_;
        return Status::Error(refusal_code_, to + " is held by another program");
    }
    if (die_in_rename_) {
        die_in_rename_ = false;
        files_.erase(to);
        off_ = true;
        return Status::Error(cedb::kErrIoDevice, "power went off inside a rename");
    }
    files_[to] = it->second;
    files_.erase(from);
    return Status::Ok();
}

Status FaultFileSystem::Remove(const std::string& path)
{
    Status s = Tick("remove");
    if (!s.ok()) return s;
    files_.erase(path);
    return Status::Ok();
}

bool FaultFileSystem::Exists(const std::string& path) { return files_.count(path) != 0; }

}  // namespace cedb_test
