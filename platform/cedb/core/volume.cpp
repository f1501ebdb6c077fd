// The volume's state in memory: its databases, each with object-id order
// and its sort orders, and the records by object id. Every change, from
// the log at mount or from a write, goes through these.
#include "platform/cedb/core/volume.h"

#include <cstring>

namespace cedb {
namespace {

const SortOrder kNoOrder;

}  // namespace

Volume::~Volume()
{
    for (auto& kv : databases_)
        for (Cursor* c : kv.second->cursors) c->db = 0, c->dbp = nullptr;
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

// Replay puts records as PropRef, which point into the log; writes as Prop.
template IndexEntry Volume::MakeEntry(const Database&, size_t, const std::vector<Prop>&, uint32_t) const;
template IndexEntry Volume::MakeEntry(const Database&, size_t, const std::vector<PropRef>&, uint32_t) const;
template void Volume::PutRecord(Database*, uint32_t, Payload, const std::vector<Prop>&, uint32_t, bool*,
                                const std::vector<IndexEntry>*);
template void Volume::PutRecord(Database*, uint32_t, Payload, const std::vector<PropRef>&, uint32_t, bool*,
                                const std::vector<IndexEntry>*);

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

void Volume::Notify(Change ch, uint32_t db, uint32_t oid)
{
    if (observer_) observer_(ch, db, oid);
}

}  // namespace cedb
