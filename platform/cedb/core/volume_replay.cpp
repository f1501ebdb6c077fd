// Mounting: the volume file opened or created, its log replayed into
// memory and a torn tail cut off; and recovery, which after a failed
// write goes back to what the file holds durably.
#include "platform/cedb/core/volume.h"

#include <algorithm>
#include <cstring>

namespace cedb {

Status Volume::Mount(FileSystem* fs, const std::string& path, const MountOptions& opt, std::unique_ptr<Volume>* out,
                     MountReport* report)
{
    std::unique_ptr<Volume> v(new Volume);
    v->fs_ = fs;
    v->path_ = path;
    v->read_only_ = opt.read_only;
    v->allocate_ahead_ = opt.allocate_ahead;
    v->loading_ = true;
    if (opt.mode < kCreateNew || opt.mode > kTruncateExisting)
        return Status::Error(kErrInvalidParameter, "bad creation mode");
    Status s;
    if (opt.shared && !opt.read_only && !(s = v->OpenSharing()).ok()) return s;
    if (!opt.read_only && !(s = AdoptCompaction(fs, path)).ok()) return s;
    bool fresh = false, made = false, ends_vouched = false;
    MountReport rep;
    if (!(s = v->OpenFile(opt, &fresh, &made)).ok()) return s;
    if (!(s = v->LoadFile(opt, fresh, made, &ends_vouched, &rep)).ok()) return s;
    if (!opt.read_only) {
        s = fs->Remove(TempPath(path));
        // Entries that survived this mount are durable now; say so in the
        // log, or damage to them later would pass for a torn tail.
        if (s.ok()) s = ends_vouched || !opt.checkpoint ? v->file_->Sync() : v->Checkpoint();
        if (!s.ok()) return s;
    }
    rep.log_bytes = v->end_;
    rep.generation = v->header_.generation;
    if (report) *report = rep;
    v->loading_ = false;
    v->ReleaseWriter();
    *out = std::move(v);
    return Status::Ok();
}

Status Volume::OpenFile(const MountOptions& opt, bool* fresh, bool* made)
{
    const bool exists = fs_->Exists(path_);
    const uint32_t mode = opt.mode;
    if (opt.read_only) return fs_->Open(path_, OpenMode::kReadOnly, &file_);
    if (mode == kCreateNew && exists) return Status::Error(kErrFileExists, path_ + " already exists");
    if ((mode == kOpenExisting || mode == kTruncateExisting) && !exists)
        return Status::Error(kErrFileNotFound, path_ + " does not exist");
    if (exists && mode != kCreateAlways && mode != kTruncateExisting) return fs_->Open(path_, WriteMode(), &file_);
    Status s;
    if (exists) {
        // Starting over must not take a volume another process owns.
        std::unique_ptr<File> owner;
        if (!(s = fs_->Open(path_, OpenMode::kOpenExisting, &owner)).ok()) return s;
    }
    if (!(s = CreateEmpty(fs_, path_)).ok()) return s;
    *fresh = *made = true;
    return fs_->Open(path_, WriteMode(), &file_);
}

Status Volume::LoadFile(const MountOptions& opt, bool fresh, bool made, bool* ends_vouched, MountReport* rep)
{
    Status s;
    if (!fresh) {
        const std::string& data = *image_;
        if (!(s = ReadAll(file_.get(), image_.get())).ok()) return s;
        // An empty file, or one shorter than a header that starts like one,
        // never held a database: it becomes an empty volume.
        if (!IsInterruptedCreation(data.data(), data.size())) return ReadLog(opt, ends_vouched, rep);
    }
    rep->created = true;
    if (!opt.read_only && !made) {
        file_.reset();
        if (!(s = CreateEmpty(fs_, path_)).ok() || !(s = fs_->Open(path_, WriteMode(), &file_)).ok())
            return s;
    }
    end_ = synced_ = allocated_ = live_ = proven_ = kHeaderSize;
    return Status::Ok();
}

Status Volume::ReadLog(const MountOptions& opt, bool* ends_vouched, MountReport* rep)
{
    const std::string& data = *image_;
    Status s = DecodeHeader(data.data(), data.size(), &header_);
    if (!s.ok()) return Status::Error(s.code, path_ + ": " + s.message);
    LogScan scan = ScanLog(data.data(), data.size(), header_.generation);
    if (scan.corrupt) return Status::Error(kErrFileCorrupt, path_ + ": " + scan.problem);
    live_ = proven_ = kHeaderSize;
    s = Replay(scan);
    if (!s.ok()) return Status::Error(s.code, path_ + ": " + s.message);
    rep->entries = scan.entries.size();
    // A log closed by a checkpoint that vouches for all before it (every
    // unmount and compaction leaves one) needs no new one, only a sync.
    *ends_vouched = !scan.entries.empty() && scan.entries.back().type == kEntryCheckpoint &&
                    scan.entries.back().offset == proven_ && !scan.torn_tail;
    end_ = synced_ = scan.valid_end;
    allocated_ = data.size();
    if (scan.torn_tail) {
        rep->torn_bytes = data.size() - scan.valid_end;
        if (!opt.read_only) {
            if (!(s = file_->Truncate(scan.valid_end)).ok() || !(s = file_->Sync()).ok()) return s;
            allocated_ = scan.valid_end;
        }
    }
    PackImage();
    return Status::Ok();
}

Status Volume::Replay(const LogScan& scan)
{
    uint32_t max_oid = 0;
    std::vector<PropRef> props;  // reused; points into the entry being replayed
    records_.Reserve(scan.entries.size());
    replaying_ = true;
    Status s;
    const size_t count = scan.entries.size();
    for (size_t at = 0; at < count; ++at) {
        const LogEntry& e = scan.entries[at];
        // Slots are spread over the table: start fetching one a few
        // records ahead so that the lookups overlap.
        const size_t ahead = at + 8;
        if (ahead < count && scan.entries[ahead].type == kEntryPutRecord && scan.entries[ahead].size >= 8)
            records_.Prefetch(GetU32(scan.entries[ahead].payload + 4));
        if (!(s = ApplyEntry(e, &props, &max_oid)).ok()) return s;
    }
    replaying_ = false;
    BuildSortIndexes();
    if (max_oid == 0xFFFFFFFFu) return Status::Error(kErrFileCorrupt, "object ids exhausted");
    header_.next_oid = std::max(header_.next_oid, max_oid + 1);
    return Status::Ok();
}

// Mounting has no observer yet; taking up another process's entries has.
Status Volume::ApplyEntry(const LogEntry& e, std::vector<PropRef>* props, uint32_t* max_oid)
{
    const uint32_t bytes = static_cast<uint32_t>(kEntryHeaderSize + e.size);
    // The message is built only for a bad entry: most mounts have none.
    auto bad = [&e](const char* what) {
        return Status::Error(kErrFileCorrupt, "entry at offset " + std::to_string(e.offset) + what);
    };
    ByteReader r(e.payload, e.size);
    uint32_t a = 0, b = 0;
    switch (e.type) {
    case kEntryCreateDatabase: {
        DatabaseLayout layout;
        if (!DecodeDatabase(e.payload, e.size, &a, &layout) || a == 0 || FindDatabase(a) || records_.Find(a) ||
            !ValidateLayout(layout).ok() || FindDatabaseByName(layout.name))
            return bad(": bad database creation");
        AddDatabase(a, layout, bytes);
        Notify(Change::kDatabaseCreated, a, a);
        break;
    }
    case kEntryDeleteDatabase: {
        Database* db = nullptr;
        if (!r.U32(&a) || !r.AtEnd() || !(db = FindDatabase(a)))
            return bad(": deletes an unknown database");
        RemoveDatabase(db);
        Notify(Change::kDatabaseDeleted, a, a);
        break;
    }
    case kEntryPutRecord: {
        Database* db = nullptr;
        if (!r.U32(&a) || !r.U32(&b) || b == 0 || !(db = FindDatabase(a)) || FindDatabase(b) ||
            !DecodePropRefs(e.payload + 8, e.size - 8, props))
            return bad(": bad record");
        const Record* was = records_.Find(b);
        if (was && was->db != a) return bad(": record moved between databases");
        bool created;
        Payload payload = replaying_ ? Payload::Borrow(e.payload, e.size) : Payload::Copy(e.payload, e.size);
        PutRecord(db, b, std::move(payload), *props, bytes, &created);
        Notify(created ? Change::kRecordCreated : Change::kRecordChanged, a, b);

        break;
    }
    case kEntryDeleteRecord: {
        Database* db = nullptr;
        const Record* was = nullptr;
        if (!r.U32(&a) || !r.U32(&b) || !r.AtEnd() || !(db = FindDatabase(a)) || !(was = records_.Find(b)) ||
            was->db != a)
            return bad(": deletes an unknown record");
        EraseRecord(db, b);
        Notify(Change::kRecordDeleted, a, b);
        break;
    }
    case kEntryCheckpoint:
        if (e.size != 0) return bad(": bad checkpoint");
        break;
    default: return bad(": unknown type");
    }
    proven_ = std::max(proven_, e.synced);
    *max_oid = std::max(*max_oid, std::max(a, b));
    return Status::Ok();
}

void Volume::PackImage()
{
    size_t borrowed = 0;
    records_.ForEach([&](uint32_t, Record& r) {
        if (r.payload.borrowed()) borrowed += r.payload.size();
    });
    if (borrowed >= image_->size() / 2) return;
    std::unique_ptr<std::string> packed(new std::string(borrowed, '\0'));
    size_t at = 0;
    records_.ForEach([&](uint32_t, Record& r) {
        if (!r.payload.borrowed()) return;
        const size_t n = r.payload.size();
        std::memcpy(&(*packed)[at], r.payload.data(), n);
        r.payload = Payload::Borrow(packed->data() + at, n);
        at += n;
    });
    image_ = std::move(packed);
}

Status Volume::Writable()
{
    if (read_only_) return Status::Error(kErrAccessDenied, "volume is open for reading only");
    if (!failed_.ok() && !Recover().ok())
        return Status::Error(failed_.code, "volume refuses changes until it recovers from: " + failed_.message);
    if (!file_) return Status::Error(kErrInvalidHandle, "volume is not mounted");
    return Status::Ok();
}

Status Volume::Fail(const Status& s)
{
    failed_ = s;
    pending_.clear();
    if (!loading_) Recover();
    return s;
}

Status Volume::Recover()
{
    Status s;
    // Bytes past the last sync may or may not be on the disk, and a mount
    // would take complete entries among them for good ones: cut them off.
    if (file_) {
        s = file_->Truncate(synced_);
        if (s.ok()) s = file_->Sync();
        if (!s.ok()) return s;
        file_.reset();  // the mount below opens the file exclusively
    }
    // The mount below takes the writer lock itself, and with it what other
    // processes wrote meanwhile.
    ReleaseWriter();
    std::unique_ptr<Volume> fresh;
    MountOptions opt;
    opt.mode = kOpenExisting;
    opt.allocate_ahead = allocate_ahead_;
    opt.checkpoint = false;
    opt.shared = shared();
    if (!(s = Mount(fs_, path_, opt, &fresh)).ok()) return s;
    Adopt(fresh.get());
    failed_ = Status::Ok();
    NotifyDifferences(fresh.get());
    return Status::Ok();
}

void Volume::Adopt(Volume* fresh)
{
    std::swap(file_, fresh->file_);
    std::swap(header_, fresh->header_);
    std::swap(image_, fresh->image_);
    std::swap(records_, fresh->records_);
    databases_.swap(fresh->databases_);
    end_ = fresh->end_, synced_ = fresh->synced_, allocated_ = fresh->allocated_;
    live_ = fresh->live_, proven_ = fresh->proven_;
    pending_.clear();
    // Cursors find their place again in the new indexes; one whose record
    // or database is gone ends up past the end or closed.
    for (auto& kv : databases_) kv.second->last_change = ++change_counter_;
    for (auto& kv : fresh->databases_) {
        Database* now = FindDatabase(kv.first);
        for (Cursor* c : kv.second->cursors) {
            if (!now) {
                c->db = 0, c->dbp = nullptr;
                continue;
            }
            const Record* r = c->oid ? records_.Find(c->oid) : nullptr;
            if (!r || r->db != c->db) c->oid = 0;
            c->dbp = now;
            c->seen = 0;
            now->cursors.insert(c);
        }
        kv.second->cursors.clear();
    }
}

void Volume::NotifyDifferences(Volume* old)
{
    if (!observer_) return;
    for (auto& kv : old->databases_)
        if (!FindDatabase(kv.first)) Notify(Change::kDatabaseDeleted, kv.first, kv.first);
    for (auto& kv : databases_)
        if (!old->FindDatabase(kv.first)) Notify(Change::kDatabaseCreated, kv.first, kv.first);
    old->records_.ForEach([&](uint32_t oid, Record& was) {
        const Record* now = records_.Find(oid);
        if (!now || now->db != was.db)
            Notify(Change::kRecordDeleted, was.db, oid);
        else if (now->payload.size() != was.payload.size() ||
                 std::memcmp(now->payload.data(), was.payload.data(), was.payload.size()) != 0)
            Notify(Change::kRecordChanged, now->db, oid);
    });
    records_.ForEach([&](uint32_t oid, Record& now) {
        const Record* was = old->records_.Find(oid);
        if (!was || was->db != now.db) Notify(Change::kRecordCreated, now.db, oid);
    });
}

}  // namespace cedb
