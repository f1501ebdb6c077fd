// Compaction: the live state written whole to `<volume>.compact`, synced,
// then renamed over the volume. New volumes are made the same way, and a
// mount finishes a rename that stopped half way.
#include "platform/cedb/core/volume.h"

namespace cedb {
namespace {

// Compaction writes its file whole, ending with a checkpoint that vouches
// for every byte before it, and syncs it before the rename. Anything less
// was cut short and holds nothing the volume file did not.
bool IsCompleteCompaction(const std::string& data)
{
    Header h;
    if (!DecodeHeader(data.data(), data.size(), &h).ok()) return false;
    LogScan scan = ScanLog(data.data(), data.size(), h.generation);
    if (scan.corrupt || scan.torn_tail || scan.valid_end != data.size() || scan.entries.empty()) return false;
    const LogEntry& last = scan.entries.back();
    return last.type == kEntryCheckpoint && last.synced == last.offset;
}

}  // namespace

std::string Volume::TempPath(const std::string& path) { return path + ".compact"; }

// A new volume appears whole or not at all: its header is written and
// synced under a temporary name, then renamed into place.
Status Volume::CreateEmpty(FileSystem* fs, const std::string& path)
{
    const std::string temp = TempPath(path);
    Status s = fs->Remove(temp);
    if (!s.ok()) return s;
    std::unique_ptr<File> f;
    if (!(s = fs->Open(temp, OpenMode::kCreateNew, &f)).ok()) return s;
    std::string head;
    EncodeHeader(Header(), &head);
    s = f->Write(0, head.data(), head.size());
    if (s.ok()) s = f->Sync();
    f.reset();
    if (s.ok()) s = ReplaceByRename(fs, temp, path);
    if (!s.ok()) fs->Remove(temp);
    return s;
}

// A rename that deletes its target first (FAT, exFAT) may have stopped
// between the two steps of a compaction: then the complete compacted file
// is the volume. An incomplete one is left for the mount to remove.
Status Volume::AdoptCompaction(FileSystem* fs, const std::string& path)
{
    const std::string temp = TempPath(path);
    if (fs->Exists(path) || !fs->Exists(temp)) return Status::Ok();
    std::unique_ptr<File> f;
    std::string data;
    Status s = fs->Open(temp, OpenMode::kReadOnly, &f);
    if (s.ok()) s = ReadAll(f.get(), &data);
    f.reset();
    if (!s.ok() || !IsCompleteCompaction(data)) return s;
    return ReplaceByRename(fs, temp, path);
}

Status Volume::Unmount()
{
    Status s = WriteAndSync();
    if (s.ok() && !read_only_ && end_ - live_ > end_ / 2) s = Compact();
    if (s.ok() && !read_only_) s = BeginChange();
    if (s.ok()) s = Checkpoint();
    for (auto& kv : databases_)
        for (Cursor* c : kv.second->cursors) c->db = 0, c->dbp = nullptr;
    file_.reset();
    ReleaseWriter();
    lock_.reset();
    failed_ = Status::Ok();  // nothing left to recover: unmounted is final
    return s;
}

Status Volume::Compact()
{
    Status s = read_only_ ? Status::Ok() : BeginChange();
    if (s.ok()) s = WriteAndSync();
    if (!s.ok() || (lock_ && !TakeVolumeAlone())) {
        // Another process has the volume open: it stays as it is for now.
        EndChangeIfIdle();
        return s;
    }
    const std::string temp = TempPath(path_);
    s = fs_->Remove(temp);
    Header h = header_;
    h.generation = header_.generation + 1;
    uint64_t written = 0;
    if (s.ok()) s = WriteCompacted(temp, h, &written);
    if (s.ok()) s = SwitchToCompacted(temp, h, written);
    if (lock_) ShareVolumeAgain();
    EndChangeIfIdle();
    return s;
}

Status Volume::WriteCompacted(const std::string& temp, const Header& h, uint64_t* size)
{
    std::unique_ptr<File> out;
    Status s = fs_->Open(temp, OpenMode::kCreateNew, &out);
    if (!s.ok()) return s;
    std::string buf, payload;
    EncodeHeader(h, &buf);
    uint64_t written = 0;
    // Every entry of a compacted file is durable before the file is used,
    // so each claims all bytes before it as flushed.
    auto put = [&](uint8_t type, const char* payload, size_t n) -> Status {
        AppendEntry(&buf, h.generation, type, written + buf.size(), payload, n);
        if (buf.size() < kSpillBytes) return Status::Ok();
        Status w = out->Write(written, buf.data(), buf.size());
        written += buf.size();
        buf.clear();
        return w;
    };
    for (auto& kv : databases_) {
        const Database& db = *kv.second;
        payload.clear();
        EncodeDatabase(db.oid, db.layout, &payload);
        if (!(s = put(kEntryCreateDatabase, payload.data(), payload.size())).ok()) break;
        // Records are scattered in memory: fetching the slots and payloads
        // a few records ahead keeps the copy from waiting on each in turn.
        const Index& ids = db.indexes[0];
        Index::iterator slot_ahead = ids.begin(), data_ahead = ids.begin();
        for (int k = 0; k < 8 && slot_ahead != ids.end(); ++k) ++slot_ahead;
        for (int k = 0; k < 4 && data_ahead != ids.end(); ++k) ++data_ahead;
        for (const IndexEntry& e : ids) {
            if (slot_ahead != ids.end()) records_.Prefetch((slot_ahead++)->oid);
            if (data_ahead != ids.end()) __builtin_prefetch(records_.Find((data_ahead++)->oid)->payload.data());
            const Payload& p = records_.Find(e.oid)->payload;
            if (!(s = put(kEntryPutRecord, p.data(), p.size())).ok()) break;
        }
        if (!s.ok()) break;
    }
    if (s.ok()) s = put(kEntryCheckpoint, "", 0);
    if (s.ok()) s = out->Write(written, buf.data(), buf.size());
    written += buf.size();
    if (s.ok()) s = out->Sync();
    out.reset();
    if (!s.ok()) fs_->Remove(temp);
    *size = written;
    return s;
}

Status Volume::SwitchToCompacted(const std::string& temp, const Header& h, uint64_t written)
{
    file_.reset();
    Status renamed = ReplaceByRename(fs_, temp, path_);
    // A failed rename may still have moved the file (only making it durable
    // failed) or, deleting the target first, have left only the new file,
    // which the next mount takes up.
    const bool moved = renamed.ok() || !fs_->Exists(temp);
    Status s = fs_->Open(path_, WriteMode(), &file_);
    if (!s.ok()) return Fail(s);
    if (!moved) {
        fs_->Remove(temp);
        return renamed;
    }
    header_ = h;
    end_ = synced_ = allocated_ = proven_ = written;
    live_ = written - kEntryHeaderSize;  // all but the closing checkpoint
    if (!renamed.ok()) failed_ = renamed;
    return renamed;
}

}  // namespace cedb
