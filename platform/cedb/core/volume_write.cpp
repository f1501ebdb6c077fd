// Changes: each is appended to the pending log entries and applied to
// memory; Flush writes the pending entries and syncs them, and a
// checkpoint vouches for what was flushed.
#include "platform/cedb/core/volume.h"

#include <algorithm>

namespace cedb {

Status Volume::CreateDatabase(const DatabaseLayout& layout, uint32_t* oid)
{
    Status s = Writable();
    if (s.ok()) s = BeginChange();
    if (!s.ok()) return s;
    // A change refused before it was logged lets other processes write again.
    struct EndIfIdle {
        Volume* v;
        ~EndIfIdle() { v->EndChangeIfIdle(); }
    } end_if_idle{this};
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
    if (s.ok()) s = BeginChange();
    if (!s.ok()) return s;
    // A change refused before it was logged lets other processes write again.
    struct EndIfIdle {
        Volume* v;
        ~EndIfIdle() { v->EndChangeIfIdle(); }
    } end_if_idle{this};
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
    if (s.ok()) s = BeginChange();
    if (!s.ok()) return s;
    // A change refused before it was logged lets other processes write again.
    struct EndIfIdle {
        Volume* v;
        ~EndIfIdle() { v->EndChangeIfIdle(); }
    } end_if_idle{this};
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
    if (s.ok()) s = BeginChange();
    if (!s.ok()) return s;
    // A change refused before it was logged lets other processes write again.
    struct EndIfIdle {
        Volume* v;
        ~EndIfIdle() { v->EndChangeIfIdle(); }
    } end_if_idle{this};
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
    Status s = WriteAndSync();
    EndChangeIfIdle();
    return s;
}

Status Volume::WriteAndSync()
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
    Status s = WriteAndSync();
    if (!s.ok()) return s;
    uint32_t bytes;
    if (!(s = Append(kEntryCheckpoint, std::string(), &bytes)).ok()) return s;
    const uint64_t proven = end_;
    if (!(s = WriteAndSync()).ok()) return s;
    proven_ = proven;
    return Status::Ok();
}

}  // namespace cedb
