// Cursors over one index of a database, and seeks by object id, position
// or sort-key value. A cursor keeps its index iterator while the database's
// indexes are unchanged and finds its record again after a change.
#include "platform/cedb/core/volume.h"

#include <cstdlib>

namespace cedb {
namespace {

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
    auto at = [&](int64_t target) {
        return target < 0 || target >= count ? idx.end() : idx.At(static_cast<size_t>(target));
    };
    Index::iterator target = idx.end();
    switch (kind) {
    case kSeekOid: {
        const Record* rec = value > 0 && value <= 0xFFFFFFFFll ? records_.Find(static_cast<uint32_t>(value)) : nullptr;
        if (!rec || rec->db != c->db) break;
        RecordProps(*rec, &scratch_);
        target = idx.find(MakeEntry(*db, c->index, scratch_, static_cast<uint32_t>(value)));
        break;
    }
    case kSeekBeginning: target = at(value); break;
    case kSeekCurrent: target = at((c->oid ? static_cast<int64_t>(idx.Position(c->it)) : count) + value); break;
    case kSeekEnd: target = at(count - 1 - std::llabs(value)); break;
    case kSeekValueSmaller: case kSeekValueFirstEqual: case kSeekValueGreater: case kSeekValueNextEqual:
    case kSeekValueSmallerOrEqual: case kSeekValueGreaterOrEqual:
        target = SeekValue(c, kind, values);
        break;
    default: break;
    }
    SetPosition(c, target);
    if (c->oid && ordinal) *ordinal = static_cast<uint32_t>(idx.Position(c->it));
    return c->oid;
}

Index::iterator Volume::SeekValue(Cursor* c, uint32_t kind, const std::vector<Prop>& values)
{
    Database* db = c->dbp;
    Index& idx = db->indexes[c->index];
    if (c->index == 0 || values.empty()) return idx.end();
    const SortOrder& order = db->layout.orders[c->index - 1];
    if (values.size() > order.size()) return idx.end();
    std::vector<KeyValue> probe;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].id != order[i].propid) return idx.end();
        probe.push_back(MakeKeyValue(&values[i], order[i]));
    }
    if (kind == kSeekValueNextEqual) {
        if (c->oid == 0) return idx.end();
        auto next = c->it;
        ++next;
        return next == idx.end() || CompareKeys(*next, probe, order, probe.size()) != 0 ? idx.end() : next;
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
    }
    return present(target) ? target : idx.end();
}

}  // namespace cedb
