#include "platform/cedb/core/volume.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace cedb {
namespace {

constexpr size_t kSpillBytes = 1u << 20;      // pending entries written early past this
const SortOrder kNoOrder;

std::string TempPath(const std::string& path) { return path + ".compact"; }

// A new volume appears whole or not at all: its header is written and
// synced under a temporary name, then renamed into place.
Status CreateEmpty(FileSystem* fs, const std::string& path)
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

// A rename that deletes its target first (FAT, exFAT) may have stopped
// between the two steps of a compaction: then the complete compacted file
// is the volume. An incomplete one is left for the mount to remove.
Status AdoptCompaction(FileSystem* fs, const std::string& path)
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

void EncodeDatabase(uint32_t oid, const DatabaseLayout& layout, std::string* out)
{
    PutU32(out, oid);
    PutU32(out, layout.type);
    PutU32(out, layout.flags);
    PutU16(out, static_cast<uint16_t>(layout.name.size()));
    for (char16_t c : layout.name) PutU16(out, static_cast<uint16_t>(c));
    out->push_back(static_cast<char>(layout.orders.size()));
    for (const SortOrder& o : layout.orders) {
        out->push_back(static_cast<char>(o.size()));
        for (const SortKey& k : o) {
            PutU32(out, k.propid);
            PutU32(out, k.flags);
        }
    }
}

bool DecodeDatabase(const char* p, size_t n, uint32_t* oid, DatabaseLayout* layout)
{
    ByteReader r(p, n);
    uint16_t len;
    if (!r.U32(oid) || !r.U32(&layout->type) || !r.U32(&layout->flags) || !r.U16(&len)) return false;
    layout->name.clear();
    for (uint16_t i = 0; i < len; ++i) {
        uint16_t c;
        if (!r.U16(&c)) return false;
        layout->name.push_back(static_cast<char16_t>(c));
    }
    uint8_t norders;
    if (!r.U8(&norders)) return false;
    layout->orders.assign(norders, SortOrder());
    for (SortOrder& o : layout->orders) {
        uint8_t nkeys;
        if (!r.U8(&nkeys)) return false;
        o.resize(nkeys);
        for (SortKey& k : o)
            if (!r.U32(&k.propid) || !r.U32(&k.flags)) return false;
    }
    return r.AtEnd();
}

Status ValidateLayout(const DatabaseLayout& layout)
{
    if (layout.name.empty() || layout.name.size() > kMaxNameLength)
        return Status::Error(kErrInvalidParameter, "database name must have 1 to 31 characters");
    if (layout.name.find(u'\0') != std::u16string::npos)
        return Status::Error(kErrInvalidParameter, "database name contains a null character");
    if (layout.orders.size() > kMaxSortOrders) return Status::Error(kErrInvalidParameter, "more than four sort orders");
    for (const SortOrder& o : layout.orders) {
        if (o.empty() || o.size() > kMaxSortKeys) return Status::Error(kErrInvalidParameter, "bad sort order");
        for (const SortKey& k : o) {
            if (!IsSortableType(TypeOf(k.propid)) ||
                (k.flags & ~uint32_t(kSortDescending | kSortCaseInsensitive | kSortUnknownFirst)))
                return Status::Error(kErrInvalidParameter, "bad sort key");
        }
    }
    return Status::Ok();
}

// An unsigned image of a present, non-string key value that orders as
// CompareKey does: -0 and +0 meet, every NaN sorts first, descending flips.
uint64_t KeyImage(const KeyValue& k, const SortKey& key)
{
    uint64_t u;
    if (TypeOf(key.propid) == kTypeR8) {
        double d = k.d;
        if (d != d) {
            u = 0;
        } else {
            if (d == 0) d = 0;
            std::memcpy(&u, &d, 8);
            u = (u >> 63) ? ~u : u | (uint64_t(1) << 63);
        }
    } else {
        u = static_cast<uint64_t>(k.i) ^ (uint64_t(1) << 63);
    }
    return (key.flags & kSortDescending) ? ~u : u;
}

struct KeyedPos {
    uint64_t key;
    uint32_t pos;
};

// Stable LSD radix sort on `key`, skipping the bytes every key shares (most
// of them for dates, flags and small integers).
void RadixSort(std::vector<KeyedPos>* v)
{
    if (v->size() < 2) return;
    uint64_t differ = 0;
    for (const KeyedPos& e : *v) differ |= e.key ^ (*v)[0].key;
    std::vector<KeyedPos> out(v->size());
    for (int shift = 0; shift < 64; shift += 8) {
        if (((differ >> shift) & 0xFF) == 0) continue;
        size_t start[257] = {};
        for (const KeyedPos& e : *v) ++start[((e.key >> shift) & 0xFF) + 1];
        for (int b = 0; b < 256; ++b) start[b + 1] += start[b];
        for (const KeyedPos& e : *v) out[start[(e.key >> shift) & 0xFF]++] = e;
        v->swap(out);
    }
}

// Sorts `entries`, which are in object-id order, into `order`. One
// non-string key is the common case: its values are sorted as integers,
// stably, so equal keys keep object-id order as IndexLess wants.
void SortEntries(std::vector<IndexEntry>* entries, const SortOrder& order, const IndexLess& less)
{
    if (order.size() != 1 || TypeOf(order[0].propid) == kTypeString) {
        std::sort(entries->begin(), entries->end(), less);
        return;
    }
    std::vector<KeyedPos> present;
    std::vector<uint32_t> absent;
    present.reserve(entries->size());
    for (size_t i = 0; i < entries->size(); ++i) {
        const KeyValue& k = (*entries)[i].first;
        if (k.present) present.push_back(KeyedPos{KeyImage(k, order[0]), static_cast<uint32_t>(i)});
        else absent.push_back(static_cast<uint32_t>(i));
    }
    RadixSort(&present);
    std::vector<IndexEntry> sorted;
    sorted.reserve(entries->size());
    const bool unknown_first = (order[0].flags & kSortUnknownFirst) != 0;
    if (unknown_first)
        for (uint32_t i : absent) sorted.push_back(std::move((*entries)[i]));
    for (const KeyedPos& e : present) sorted.push_back(std::move((*entries)[e.pos]));
    if (!unknown_first)
        for (uint32_t i : absent) sorted.push_back(std::move((*entries)[i]));
    entries->swap(sorted);
}

int CompareKeys(const IndexEntry& a, const std::vector<KeyValue>& b, const SortOrder& order, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        int c = CompareKey(a.key(i), b[i], order[i]);
        if (c) return c;
    }
    return 0;
}

}  // namespace

int IndexLess::ComparePrefix(const IndexEntry& a, const SeekProbe& p) const
{
    int c = CompareKeys(a, *p.keys, *order, p.keys->size());
    if (c) return c;
    return p.upper ? -1 : 1;
}

Volume::~Volume()
{
    for (auto& kv : databases_)
        for (Cursor* c : kv.second->cursors) c->db = 0, c->dbp = nullptr;
}

Status Volume::Mount(FileSystem* fs, const std::string& path, const MountOptions& opt, std::unique_ptr<Volume>* out,
                     MountReport* report)
{
    std::unique_ptr<Volume> v(new Volume);
    v->fs_ = fs;
    v->path_ = path;
    v->read_only_ = opt.read_only;
    v->allocate_ahead_ = opt.allocate_ahead;
    v->loading_ = true;
    MountReport rep;
    const uint32_t mode = opt.mode;
    if (mode < kCreateNew || mode > kTruncateExisting) return Status::Error(kErrInvalidParameter, "bad creation mode");
    Status s;
    if (!opt.read_only && !(s = AdoptCompaction(fs, path)).ok()) return s;
    const bool exists = fs->Exists(path);
    bool fresh = false, made = false;
    if (opt.read_only) {
        s = fs->Open(path, OpenMode::kReadOnly, &v->file_);
    } else if (mode == kCreateNew && exists) {
        return Status::Error(kErrFileExists, path + " already exists");
    } else if ((mode == kOpenExisting || mode == kTruncateExisting) && !exists) {
        return Status::Error(kErrFileNotFound, path + " does not exist");
    } else if (!exists || mode == kCreateAlways || mode == kTruncateExisting) {
        if (exists) {
            // Starting over must not take a volume another process owns.
            std::unique_ptr<File> owner;
            if (!(s = fs->Open(path, OpenMode::kOpenExisting, &owner)).ok()) return s;
        }
        if (!(s = CreateEmpty(fs, path)).ok()) return s;
        s = fs->Open(path, OpenMode::kOpenExisting, &v->file_);
        fresh = made = true;
    } else {
        s = fs->Open(path, OpenMode::kOpenExisting, &v->file_);
    }
    if (!s.ok()) return s;

    std::string& data = *v->image_;
    bool ends_vouched = false;
    if (!fresh) {
        s = ReadAll(v->file_.get(), &data);
        if (!s.ok()) return s;
        // An empty file, or one shorter than a header that starts like one,
        // never held a database: it becomes an empty volume.
        if (IsInterruptedCreation(data.data(), data.size())) fresh = true;
    }
    if (fresh) {
        rep.created = true;
        if (!opt.read_only && !made) {
            v->file_.reset();
            if (!(s = CreateEmpty(fs, path)).ok() || !(s = fs->Open(path, OpenMode::kOpenExisting, &v->file_)).ok())
                return s;
        }
        v->end_ = v->synced_ = v->allocated_ = v->live_ = v->proven_ = kHeaderSize;
    } else {
        s = DecodeHeader(data.data(), data.size(), &v->header_);
        if (!s.ok()) return Status::Error(s.code, path + ": " + s.message);
        LogScan scan = ScanLog(data.data(), data.size(), v->header_.generation);
        if (scan.corrupt) return Status::Error(kErrFileCorrupt, path + ": " + scan.problem);
        v->live_ = v->proven_ = kHeaderSize;
        s = v->Replay(scan);
        if (!s.ok()) return Status::Error(s.code, path + ": " + s.message);
        rep.entries = scan.entries.size();
        // A log closed by a checkpoint that vouches for all before it (every
        // unmount and compaction leaves one) needs no new one, only a sync.
        ends_vouched = !scan.entries.empty() && scan.entries.back().type == kEntryCheckpoint &&
                       scan.entries.back().offset == v->proven_ && !scan.torn_tail;
        v->end_ = v->synced_ = scan.valid_end;
        v->allocated_ = data.size();
        if (scan.torn_tail) {
            rep.torn_bytes = data.size() - scan.valid_end;
            if (!opt.read_only) {
                if (!(s = v->file_->Truncate(scan.valid_end)).ok() || !(s = v->file_->Sync()).ok()) return s;
                v->allocated_ = scan.valid_end;
            }
        }
        v->PackImage();
    }
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
    *out = std::move(v);
    return Status::Ok();
}

Status Volume::Replay(const LogScan& scan)
{
    uint32_t max_oid = 0;
    std::vector<PropRef> props;  // reused; points into the entry being replayed
    records_.Reserve(scan.entries.size());
    replaying_ = true;
    const size_t count = scan.entries.size();
    for (size_t at = 0; at < count; ++at) {
        const LogEntry& e = scan.entries[at];
        const uint32_t bytes = static_cast<uint32_t>(kEntryHeaderSize + e.size);
        // Slots are spread over the table: start fetching one a few
        // records ahead so that the lookups overlap.
        const size_t ahead = at + 8;
        if (ahead < count && scan.entries[ahead].type == kEntryPutRecord && scan.entries[ahead].size >= 8)
            records_.Prefetch(GetU32(scan.entries[ahead].payload + 4));
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
            break;
        }
        case kEntryDeleteDatabase: {
            Database* db = nullptr;
            if (!r.U32(&a) || !r.AtEnd() || !(db = FindDatabase(a)))
                return bad(": deletes an unknown database");
            RemoveDatabase(db);
            break;
        }
        case kEntryPutRecord: {
            Database* db = nullptr;
            if (!r.U32(&a) || !r.U32(&b) || b == 0 || !(db = FindDatabase(a)) || FindDatabase(b) ||
                !DecodePropRefs(e.payload + 8, e.size - 8, &props))
                return bad(": bad record");
            const Record* was = records_.Find(b);
            if (was && was->db != a) return bad(": record moved between databases");
            bool created;
            PutRecord(db, b, Payload::Borrow(e.payload, e.size), props, bytes, &created);
            break;
        }
        case kEntryDeleteRecord: {
            Database* db = nullptr;
            const Record* was = nullptr;
            if (!r.U32(&a) || !r.U32(&b) || !r.AtEnd() || !(db = FindDatabase(a)) || !(was = records_.Find(b)) ||
                was->db != a)
                return bad(": deletes an unknown record");
            EraseRecord(db, b);
            break;
        }
        case kEntryCheckpoint:
            if (e.size != 0) return bad(": bad checkpoint");
            break;
        default: return bad(": unknown type");
        }
        proven_ = std::max(proven_, e.synced);
        max_oid = std::max(max_oid, std::max(a, b));
    }
    replaying_ = false;
    BuildSortIndexes();
    if (max_oid == 0xFFFFFFFFu) return Status::Error(kErrFileCorrupt, "object ids exhausted");
    header_.next_oid = std::max(header_.next_oid, max_oid + 1);
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

Status Volume::AddDatabase(uint32_t oid, const DatabaseLayout& layout, uint32_t entry_bytes)
{
    std::unique_ptr<Database> db(new Database);
    db->oid = oid;
    db->layout = layout;
    db->entry_bytes = entry_bytes;
    db->indexes.emplace_back(IndexLess{&kNoOrder});
    for (const SortOrder& o : db->layout.orders) db->indexes.emplace_back(IndexLess{&o});
    live_ += entry_bytes;
    databases_[oid] = std::move(db);
    return Status::Ok();
}

void Volume::BuildSortIndexes()
{
    std::vector<PropRef> props;
    for (auto& kv : databases_) {
        Database& db = *kv.second;
        std::vector<std::vector<IndexEntry>> entries = std::move(db.replayed);
        db.replayed.clear();
        if (db.indexes.size() < 2) continue;
        if (db.replayed_stale || entries.size() != db.indexes.size()) {
            entries.assign(db.indexes.size(), std::vector<IndexEntry>());
            for (size_t i = 1; i < entries.size(); ++i) entries[i].reserve(db.count());
            for (const IndexEntry& e : db.indexes[0]) {
                const Payload& payload = records_.Find(e.oid)->payload;
                DecodePropRefs(payload.data() + 8, payload.size() - 8, &props);  // decoded once already: cannot fail
                for (size_t i = 1; i < entries.size(); ++i) entries[i].push_back(MakeEntry(db, i, props, e.oid));
            }
        }
        db.replayed_stale = false;
        for (size_t i = 1; i < entries.size(); ++i) {
            SortEntries(&entries[i], db.layout.orders[i - 1], db.indexes[i].key_comp());
            db.indexes[i].AssignSorted(std::move(entries[i]));
        }
    }
}

void Volume::RemoveDatabase(Database* db)
{
    for (const IndexEntry& e : db->indexes[0]) {
        live_ -= records_.Find(e.oid)->entry_bytes;
        records_.Erase(e.oid);
    }
    for (Cursor* c : db->cursors) c->db = 0, c->dbp = nullptr;
    live_ -= db->entry_bytes;
    databases_.erase(db->oid);
}

template <class P>
IndexEntry Volume::MakeEntry(const Database& db, size_t index, const std::vector<P>& props, uint32_t oid) const
{
    IndexEntry e;
    e.oid = oid;
    if (index == 0) return e;
    const SortOrder& order = db.layout.orders[index - 1];
    e.first = MakeKeyValue(FindProp(props, order[0].propid), order[0]);
    if (order.size() > 1) {
        std::vector<KeyValue> rest;
        for (size_t i = 1; i < order.size(); ++i) rest.push_back(MakeKeyValue(FindProp(props, order[i].propid), order[i]));
        e.rest = Boxed<std::vector<KeyValue>>(std::move(rest));
    }
    return e;
}

template <class P>
void Volume::PutRecord(Database* db, uint32_t oid, Payload payload, const std::vector<P>& props,
                       uint32_t entry_bytes, bool* created, const std::vector<IndexEntry>* before)
{
    Record& r = *records_.Insert(oid, created);
    bool changed = false;
    if (*created) {
        // New ids only grow, so object-id order takes them at its end.
        Index& ids = db->indexes[0];
        const bool in_order = ids.empty() || (--ids.end())->oid < oid;
        ids.emplace_hint(ids.end(), MakeEntry(*db, 0, props, oid));
        if (replaying_) {
            // Sorting relies on the replayed entries being in object-id order.
            if (!in_order) db->replayed_stale = true;
            db->replayed.resize(db->indexes.size());
            for (size_t i = 1; i < db->indexes.size(); ++i) db->replayed[i].push_back(MakeEntry(*db, i, props, oid));
        } else {
            for (size_t i = 1; i < db->indexes.size(); ++i) db->indexes[i].insert(MakeEntry(*db, i, props, oid));
        }
        r.db = db->oid;
        r.payload = std::move(payload);
        r.entry_bytes = entry_bytes;
        changed = true;
    } else {
        std::vector<Prop>& old = scratch_;
        if (replaying_) db->replayed_stale = true;
        const size_t sorted = replaying_ ? 1 : db->indexes.size();
        if (sorted > 1 && !before) RecordProps(r, &old);
        for (size_t i = 1; i < sorted; ++i) {
            IndexEntry was = before ? (*before)[i - 1] : MakeEntry(*db, i, old, oid);
            IndexEntry now = MakeEntry(*db, i, props, oid);
            const IndexLess& less = db->indexes[i].key_comp();
            if (!less(was, now) && !less(now, was)) continue;
            db->indexes[i].erase(was);
            db->indexes[i].insert(std::move(now));
            changed = true;
        }
        live_ -= r.entry_bytes;
        db->record_bytes -= r.entry_bytes;
        r.payload = std::move(payload);
        r.entry_bytes = entry_bytes;
    }
    live_ += entry_bytes;
    db->record_bytes += entry_bytes;
    if (changed) db->last_change = ++change_counter_;
}

void Volume::EraseRecord(Database* db, uint32_t oid)
{
    // A cursor on the record moves to the one after it.
    for (Cursor* c : db->cursors) {
        if (c->oid != oid) continue;
        Locate(c);
        auto next = c->it;
        if (next != db->indexes[c->index].end()) ++next;
        c->oid = next == db->indexes[c->index].end() ? 0 : next->oid;
        c->seen = 0;
    }
    const Record& r = *records_.Find(oid);
    std::vector<Prop>& props = scratch_;
    if (replaying_) db->replayed_stale = true;
    const size_t indexes = replaying_ ? 1 : db->indexes.size();
    if (indexes > 1) RecordProps(r, &props);
    for (size_t i = 0; i < indexes; ++i) db->indexes[i].erase(MakeEntry(*db, i, props, oid));
    live_ -= r.entry_bytes;
    db->record_bytes -= r.entry_bytes;
    records_.Erase(oid);
    db->last_change = ++change_counter_;
}

bool Volume::RecordProps(const Record& r, std::vector<Prop>* props)
{
    return r.payload.size() >= 8 && DecodeProps(r.payload.data() + 8, r.payload.size() - 8, props);
}

Database* Volume::FindDatabase(uint32_t oid)
{
    auto it = databases_.find(oid);
    return it == databases_.end() ? nullptr : it->second.get();
}

Database* Volume::FindDatabaseByName(const std::u16string& name)
{
    for (auto& kv : databases_)
        if (kv.second->layout.name == name) return kv.second.get();
    return nullptr;
}

const Record* Volume::FindRecord(uint32_t oid) const
{
    return records_.Find(oid);
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
    std::unique_ptr<Volume> fresh;
    MountOptions opt;
    opt.mode = kOpenExisting;
    opt.allocate_ahead = allocate_ahead_;
    opt.checkpoint = false;
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

Status Volume::Append(uint8_t type, const std::string& payload, uint32_t* entry_bytes)
{
    AppendEntry(&pending_, header_.generation, type, synced_, payload.data(), payload.size());
    *entry_bytes = static_cast<uint32_t>(kEntryHeaderSize + payload.size());
    if (pending_.size() >= kSpillBytes) return WritePending();
    return Status::Ok();
}

Status Volume::WritePending()
{
    if (pending_.empty()) return Status::Ok();
    const size_t data = pending_.size();
    // Growing the file in large zero-filled steps keeps most small flushes
    // from having to record a new file size; large writes pay that once anyway.
    if (end_ + data > allocated_ && data < allocate_ahead_ / 4) pending_.append(static_cast<size_t>(allocate_ahead_), '\0');
    Status s = file_->Write(end_, pending_.data(), pending_.size());
    if (!s.ok() && pending_.size() > data) {
        // No room for the zeros ahead: the entries alone may still fit.
        pending_.resize(data);
        s = file_->Write(end_, pending_.data(), data);
    }
    if (!s.ok()) return Fail(s);
    allocated_ = std::max(allocated_, end_ + pending_.size());
    end_ += data;
    pending_.clear();
    return Status::Ok();
}

Status Volume::Flush()
{
    Status s = Writable();
    if (!s.ok()) return read_only_ ? Status::Ok() : s;
    if (!(s = WritePending()).ok()) return s;
    if (synced_ == end_) return Status::Ok();
    s = file_->Sync();
    if (!s.ok()) return Fail(s);
    synced_ = end_;
    return Status::Ok();
}

Status Volume::Checkpoint()
{
    if (proven_ >= end_ || read_only_) return Status::Ok();
    Status s = Flush();
    if (!s.ok()) return s;
    uint32_t bytes;
    if (!(s = Append(kEntryCheckpoint, std::string(), &bytes)).ok()) return s;
    const uint64_t proven = end_;
    if (!(s = Flush()).ok()) return s;
    proven_ = proven;
    return Status::Ok();
}

Status Volume::Unmount()
{
    Status s = Flush();
    if (s.ok() && !read_only_ && end_ - live_ > end_ / 2) s = Compact();
    if (s.ok()) s = Checkpoint();
    for (auto& kv : databases_)
        for (Cursor* c : kv.second->cursors) c->db = 0, c->dbp = nullptr;
    file_.reset();
    failed_ = Status::Ok();  // nothing left to recover: unmounted is final
    return s;
}

Status Volume::Compact()
{
    Status s = Flush();
    if (!s.ok()) return s;
    const std::string temp = TempPath(path_);
    if (!(s = fs_->Remove(temp)).ok()) return s;
    std::unique_ptr<File> out;
    if (!(s = fs_->Open(temp, OpenMode::kCreateNew, &out)).ok()) return s;

    Header h = header_;
    h.generation = header_.generation + 1;
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
    if (!s.ok()) {
        fs_->Remove(temp);
        return s;
    }
    file_.reset();
    Status renamed = ReplaceByRename(fs_, temp, path_);
    // A failed rename may still have moved the file (only making it durable
    // failed) or, deleting the target first, have left only the new file,
    // which the next mount takes up.
    const bool moved = renamed.ok() || !fs_->Exists(temp);
    s = fs_->Open(path_, OpenMode::kOpenExisting, &file_);
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

void Volume::Notify(Change ch, uint32_t db, uint32_t oid)
{
    if (observer_) observer_(ch, db, oid);
}

Status Volume::CreateDatabase(const DatabaseLayout& layout, uint32_t* oid)
{
    Status s = Writable();
    if (!s.ok()) return s;
    if (!(s = ValidateLayout(layout)).ok()) return s;
    if (FindDatabaseByName(layout.name)) return Status::Error(kErrAlreadyExists, "a database of that name exists");
    if (header_.next_oid == 0xFFFFFFFFu) return Status::Error(kErrDiskFull, "object ids exhausted");
    const uint32_t id = header_.next_oid;
    std::string payload;
    EncodeDatabase(id, layout, &payload);
    uint32_t bytes;
    if (!(s = Append(kEntryCreateDatabase, payload, &bytes)).ok()) return s;
    header_.next_oid++;
    AddDatabase(id, layout, bytes);
    *oid = id;
    Notify(Change::kDatabaseCreated, id, id);
    return Status::Ok();
}

Status Volume::DeleteDatabase(uint32_t oid)
{
    Status s = Writable();
    if (!s.ok()) return s;
    Database* db = FindDatabase(oid);
    if (!db) return Status::Error(kErrInvalidParameter, "no database with that object id");
    std::string payload;
    PutU32(&payload, oid);
    uint32_t bytes;
    if (!(s = Append(kEntryDeleteDatabase, payload, &bytes)).ok()) return s;
    RemoveDatabase(db);
    Notify(Change::kDatabaseDeleted, oid, oid);
    return Status::Ok();
}

Status Volume::WriteRecord(uint32_t dbid, uint32_t oid, const std::vector<Prop>& props,
                           const std::vector<uint32_t>& deletes, uint32_t* out_oid)
{
    Status s = Writable();
    if (!s.ok()) return s;
    Database* db = FindDatabase(dbid);
    if (!db) return Status::Error(kErrInvalidParameter, "database is gone");
    std::vector<Prop>& merged = merged_;
    std::vector<IndexEntry> before;
    size_t used = 0;  // merged_[0, used) is the record; later elements are spare buffers
    if (oid != 0) {
        const Record* rec = records_.Find(oid);
        if (!rec || rec->db != dbid) return Status::Error(kErrInvalidParameter, "no such record in this database");
        RecordProps(*rec, &merged);
        used = merged.size();
        for (size_t i = 1; i < db->indexes.size(); ++i) before.push_back(MakeEntry(*db, i, merged, oid));
    } else if (header_.next_oid == 0xFFFFFFFFu) {
        return Status::Error(kErrDiskFull, "object ids exhausted");
    }
    // Copy-assigning into merged_ reuses the buffers of earlier writes.
    for (const Prop& p : props) {
        if (!IsKnownType(TypeOf(p.id))) return Status::Error(kErrInvalidParameter, "unknown property type");
        auto end = merged.begin() + static_cast<long>(used);
        auto at = std::find_if(merged.begin(), end, [&](const Prop& q) { return q.id == p.id; });
        if (at != end) {
            *at = p;
        } else if (used < merged.size()) {
            merged[used++] = p;
        } else {
            merged.push_back(p);
            ++used;
        }
    }
    merged.resize(used);
    if (oid != 0)
        for (uint32_t id : deletes)
            merged.erase(std::remove_if(merged.begin(), merged.end(), [&](const Prop& q) { return q.id == id; }),
                         merged.end());
    if (merged.size() > 0xFFFF) return Status::Error(kErrInvalidParameter, "too many properties");

    const uint32_t id = oid ? oid : header_.next_oid;
    std::string& entry = encoded_;
    entry.clear();
    size_t estimate = 10;
    for (const Prop& p : merged) estimate += 12 + 2 * p.s.size() + p.blob.size();
    entry.reserve(estimate);
    PutU32(&entry, dbid);
    PutU32(&entry, id);
    EncodeProps(merged, &entry);
    if (entry.size() - 8 > kMaxRecordBytes) return Status::Error(kErrInvalidParameter, "record too large");
    uint32_t bytes;
    if (!(s = Append(kEntryPutRecord, entry, &bytes)).ok()) return s;
    if (!oid) header_.next_oid++;
    bool created;
    PutRecord(db, id, Payload::Copy(entry.data(), entry.size()), merged, bytes, &created, oid ? &before : nullptr);
    *out_oid = id;
    Notify(created ? Change::kRecordCreated : Change::kRecordChanged, dbid, id);
    return Status::Ok();
}

Status Volume::DeleteRecord(uint32_t dbid, uint32_t oid)
{
    Status s = Writable();
    if (!s.ok()) return s;
    Database* db = FindDatabase(dbid);
    if (!db) return Status::Error(kErrInvalidParameter, "database is gone");
    const Record* rec = records_.Find(oid);
    if (!rec || rec->db != dbid)
        return Status::Error(kErrInvalidParameter, "no such record in this database");
    std::string payload;
    PutU32(&payload, dbid);
    PutU32(&payload, oid);
    uint32_t bytes;
    if (!(s = Append(kEntryDeleteRecord, payload, &bytes)).ok()) return s;
    EraseRecord(db, oid);
    Notify(Change::kRecordDeleted, dbid, oid);
    return Status::Ok();
}

Status Volume::OpenCursor(uint32_t dbid, uint32_t propid, Cursor* c)
{
    Database* db = FindDatabase(dbid);
    if (!db) return Status::Error(kErrFileNotFound, "no such database");
    size_t index = 0;
    if (propid != 0) {
        for (size_t i = 0; i < db->layout.orders.size() && !index; ++i)
            if (db->layout.orders[i][0].propid == propid) index = i + 1;
        if (!index) return Status::Error(kErrInvalidParameter, "not a sort property of this database");
    }
    c->db = dbid;
    c->dbp = db;
    c->index = index;
    db->cursors.insert(c);
    SetPosition(c, db->indexes[index].begin());
    return Status::Ok();
}

void Volume::CloseCursor(Cursor* c)
{
    if (c->db) c->dbp->cursors.erase(c);
    c->db = 0;
    c->dbp = nullptr;
}

void Volume::SetPosition(Cursor* c, Index::iterator it)
{
    Database* db = c->dbp;
    c->it = it;
    c->oid = it == db->indexes[c->index].end() ? 0 : it->oid;
    c->seen = db->last_change;
}

void Volume::Locate(Cursor* c)
{
    Database* db = c->dbp;
    if (c->seen == db->last_change) return;
    Index& idx = db->indexes[c->index];
    if (c->oid == 0) {
        SetPosition(c, idx.end());
        return;
    }
    RecordProps(*records_.Find(c->oid), &scratch_);
    SetPosition(c, idx.find(MakeEntry(*db, c->index, scratch_, c->oid)));
}

const Record* Volume::Current(Cursor* c)
{
    if (!c->db) return nullptr;
    Locate(c);
    return c->oid ? records_.Find(c->oid) : nullptr;
}

void Volume::Advance(Cursor* c)
{
    if (!c->db) return;
    Locate(c);
    if (c->oid == 0) return;
    auto it = c->it;
    SetPosition(c, ++it);
}

uint32_t Volume::Seek(Cursor* c, uint32_t kind, int64_t value, const std::vector<Prop>& values, uint32_t* ordinal)
{
    Database* db = c->dbp;
    if (!c->db) return 0;
    Index& idx = db->indexes[c->index];
    const int64_t count = static_cast<int64_t>(idx.size());
    Locate(c);
    auto miss = [&]() -> uint32_t {
        SetPosition(c, idx.end());
        return 0;
    };
    auto current_ordinal = [&]() -> int64_t { return static_cast<int64_t>(idx.Position(c->it)); };
    auto go = [&](int64_t target) -> uint32_t {
        if (target < 0 || target >= count) return miss();
        SetPosition(c, idx.At(static_cast<size_t>(target)));
        return c->oid;
    };

    uint32_t result = 0;
    switch (kind) {
    case kSeekOid: {
        const Record* rec = value > 0 && value <= 0xFFFFFFFFll ? records_.Find(static_cast<uint32_t>(value)) : nullptr;
        if (!rec || rec->db != c->db) {
            result = miss();
            break;
        }
        RecordProps(*rec, &scratch_);
        SetPosition(c, idx.find(MakeEntry(*db, c->index, scratch_, static_cast<uint32_t>(value))));
        result = c->oid;
        break;
    }
    case kSeekBeginning: result = go(value); break;
    case kSeekCurrent: result = go((c->oid ? current_ordinal() : count) + value); break;
    case kSeekEnd: result = go(count - 1 - std::llabs(value)); break;
    case kSeekValueSmaller: case kSeekValueFirstEqual: case kSeekValueGreater: case kSeekValueNextEqual:
    case kSeekValueSmallerOrEqual: case kSeekValueGreaterOrEqual: {
        if (c->index == 0 || values.empty()) return miss();
        const SortOrder& order = db->layout.orders[c->index - 1];
        if (values.size() > order.size()) return miss();
        std::vector<KeyValue> probe;
        for (size_t i = 0; i < values.size(); ++i) {
            if (values[i].id != order[i].propid) return miss();
            probe.push_back(MakeKeyValue(&values[i], order[i]));
        }
        Index::iterator lo = idx.lower_bound(SeekProbe{&probe, false});
        Index::iterator hi = idx.lower_bound(SeekProbe{&probe, true});
        const bool descending = (order[0].flags & kSortDescending) != 0;
        auto present = [&](Index::iterator it) { return it != idx.end() && it->first.present; };
        // First record of the run of records equal to *it on the probe's keys.
        auto run_start = [&](Index::iterator it) {
            std::vector<KeyValue> keys;
            for (size_t i = 0; i < probe.size(); ++i) keys.push_back(it->key(i));
            return idx.lower_bound(SeekProbe{&keys, false});
        };
        // Nearest smaller value lies before the equal run in ascending
        // order and after it in descending order; greater the other way.
        auto prev = [](Index::iterator it) { return --it; };
        auto before = [&]() { return lo == idx.begin() || !present(prev(lo)) ? idx.end() : run_start(prev(lo)); };
        auto after = [&]() { return present(hi) ? hi : idx.end(); };
        Index::iterator target = idx.end();
        switch (kind) {
        case kSeekValueFirstEqual: target = lo != hi ? lo : idx.end(); break;
        case kSeekValueSmaller: target = descending ? after() : before(); break;
        case kSeekValueGreater: target = descending ? before() : after(); break;
        case kSeekValueSmallerOrEqual: target = lo != hi ? lo : (descending ? after() : before()); break;
        case kSeekValueGreaterOrEqual: target = lo != hi ? lo : (descending ? before() : after()); break;
        case kSeekValueNextEqual: {
            if (c->oid == 0) return miss();
            auto next = c->it;
            ++next;
            if (next == idx.end() || CompareKeys(*next, probe, order, probe.size()) != 0) return miss();
            SetPosition(c, next);
            if (ordinal) *ordinal = static_cast<uint32_t>(current_ordinal());
            return c->oid;
        }
        }
        if (target == idx.end() || !present(target)) return miss();
        SetPosition(c, target);
        result = c->oid;
        break;
    }
    default: return miss();
    }
    if (result && ordinal) *ordinal = static_cast<uint32_t>(current_ordinal());
    return result;
}

}  // namespace cedb
