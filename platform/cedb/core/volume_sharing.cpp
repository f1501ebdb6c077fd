// A volume several processes read and write at once. Beside the volume file
// lies `<volume>.lock`, whose byte locks say who has the volume open (a
// shared hold on one byte) and who writes to it (an exclusive hold on
// another). A writer holds the writer lock from its first change to the
// flush that makes its changes durable, and starts by taking up the entries
// other processes appended meanwhile, so object ids never collide and every
// change is made on the current state. Readers take up appended entries when
// asked to (Refresh), under the same lock so that they never see entries a
// writer might still cut off after a failed write. A process that dies loses
// its holds; what it left half written past the last whole entry is
// overwritten by the next writer or cut off as a torn tail at the next mount.
#include "platform/cedb/core/volume.h"

#include <algorithm>

namespace cedb {
namespace {

constexpr uint32_t kOpenSlot = 0;
constexpr uint32_t kWriterSlot = 1;
// Appended entries are read in pieces of this size, or one entry's size
// when that is larger.
constexpr size_t kCatchUpChunk = 64u << 10;

}  // namespace

std::string Volume::LockPath(const std::string& path) { return path + ".lock"; }

// Mounting holds the writer lock throughout, so that it never takes a
// writer's unfinished entries for a torn tail; Mount releases it at the end.
Status Volume::OpenSharing()
{
    Status s = fs_->OpenLock(LockPath(path_), &lock_);
    if (s.ok()) s = lock_->Lock(kOpenSlot, false, true);
    if (s.ok()) s = lock_->Lock(kWriterSlot, true, true);
    if (!s.ok()) {
        lock_.reset();
        return s;
    }
    writing_ = true;
    return Status::Ok();
}

Status Volume::BeginChange()
{
    if (!lock_ || writing_) return Status::Ok();
    Status s = lock_->Lock(kWriterSlot, true, true);
    if (!s.ok()) return s;
    writing_ = true;
    if (!(s = CatchUp()).ok()) ReleaseWriter();
    return s;
}

void Volume::EndChangeIfIdle()
{
    if (writing_ && pending_.empty() && synced_ == end_ && failed_.ok()) ReleaseWriter();
}

void Volume::ReleaseWriter()
{
    if (!writing_) return;
    lock_->Unlock(kWriterSlot);
    writing_ = false;
}

Status Volume::Refresh()
{
    if (!lock_ || writing_ || !failed_.ok() || !file_) return Status::Ok();
    // Nothing appended leaves zeros (or the end of the file) where the next
    // entry would start: one read, no lock.
    char head[kEntryHeaderSize] = {};
    size_t got = 0;
    Status s = file_->Read(end_, head, sizeof head, &got);
    if (!s.ok() || got < sizeof head || head[8] == 0) return s;
    if (!lock_->Lock(kWriterSlot, true, false).ok()) return Status::Ok();  // a writer is busy: next time
    writing_ = true;
    s = CatchUp();
    ReleaseWriter();
    return s;
}

Status Volume::CatchUp()
{
    std::string buf;
    std::vector<PropRef> props;
    uint32_t max_oid = 0;
    bool took = false;
    Status s;
    for (;;) {
        size_t want = kCatchUpChunk, got = 0;
        buf.resize(want);
        if (!(s = file_->Read(end_, &buf[0], want, &got)).ok()) return s;
        if (got < kEntryHeaderSize || buf[8] == 0) break;
        const size_t first = kEntryHeaderSize + GetU32(buf.data() + 4);
        if (first > got && got == want && first <= kEntryHeaderSize + kMaxEntryPayload) {
            buf.resize(want = first);
            if (!(s = file_->Read(end_, &buf[0], want, &got)).ok()) return s;
        }
        LogScan scan = ScanAppended(buf.data(), got, end_, header_.generation);
        if (scan.entries.empty()) break;
        for (const LogEntry& e : scan.entries) {
            if ((s = ApplyEntry(e, &props, &max_oid)).ok()) continue;
            // Memory holds part of what the file says: refuse changes until a
            // new mount reads the file again (cutting nothing off, as no
            // write of this process's is unsynced).
            failed_ = Status::Error(s.code, path_ + ": " + s.message);
            file_.reset();
            ReleaseWriter();
            return failed_;
        }
        end_ = scan.valid_end;
        took = true;
    }
    if (!took) return Status::Ok();
    if (max_oid == 0xFFFFFFFFu) return Status::Error(kErrFileCorrupt, "object ids exhausted");
    header_.next_oid = std::max(header_.next_oid, max_oid + 1);
    // What others appended counts as durable in the entries this process
    // writes next, and a failed write of its own cuts back to here: make
    // it so even when its writer died before syncing.
    if (!(s = file_->Sync()).ok()) return s;
    synced_ = end_;
    uint64_t size = 0;
    if (file_->Size(&size).ok()) allocated_ = std::max(allocated_, size);
    return Status::Ok();
}

bool Volume::TakeVolumeAlone()
{
    lock_->Unlock(kOpenSlot);
    if (lock_->Lock(kOpenSlot, true, false).ok()) return true;
    lock_->Lock(kOpenSlot, false, true);
    return false;
}

void Volume::ShareVolumeAgain()
{
    lock_->Unlock(kOpenSlot);
    lock_->Lock(kOpenSlot, false, true);
}

}  // namespace cedb
