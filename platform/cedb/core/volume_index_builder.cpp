// Building a database's sort orders in bulk at mount: replay keeps only
// object-id order, and each sort order is then sorted once instead of
// being inserted into record by record.
#include "platform/cedb/core/volume.h"

#include <algorithm>
#include <cstring>

namespace cedb {
namespace {

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

}  // namespace

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

}  // namespace cedb
