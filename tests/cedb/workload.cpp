#include "tests/cedb/workload.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

#include "tests/cedb/fault_fs.h"

namespace cedb_test {
namespace {

const uint16_t kTypes[] = {cedb::kTypeI2, cedb::kTypeI4, cedb::kTypeR8, cedb::kTypeBool,
                           cedb::kTypeString, cedb::kTypeUI4, cedb::kTypeBlob};

uint32_t RandomPropId(std::mt19937& rng, bool sortable)
{
    uint16_t type = kTypes[rng() % (sortable ? 6 : 7)];
    return (static_cast<uint32_t>(1 + rng() % 6) << 16) | type;
}

cedb::Prop RandomProp(std::mt19937& rng, uint32_t id)
{
    cedb::Prop p;
    p.id = id;
    switch (cedb::TypeOf(id)) {
    case cedb::kTypeI2: p.i = static_cast<int16_t>(rng() % 7 - 3); break;
    case cedb::kTypeI4: p.i = rng() % 8 ? static_cast<int32_t>(rng() % 11) - 5 : rng() % 2 ? INT32_MIN : INT32_MAX; break;
    case cedb::kTypeUI4: p.i = rng() % 5; break;
    case cedb::kTypeBool: p.i = rng() % 2; break;
    case cedb::kTypeR8: {
        // Sort orders built at mount and kept while writing must agree on these too.
        const double odd[] = {std::nan(""), -0.0, 0.0, 1e300, -HUGE_VAL, HUGE_VAL};
        p.d = rng() % 4 ? (rng() % 9) * 0.5 - 2 : odd[rng() % 6];
        break;
    }
    case cedb::kTypeString: {
        size_t len = rng() % 8 == 0 ? 200 + rng() % 400 : rng() % 12;
        for (size_t i = 0; i < len; ++i) p.s.push_back(static_cast<char16_t>((rng() % 2 ? u'a' : u'A') + rng() % 3));
        break;
    }
    default: p.blob.assign(rng() % 64, static_cast<char>(rng()));
    }
    return p;
}

uint64_t Fnv(uint64_t h, const void* data, size_t n)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

}  // namespace

uint64_t Digest(cedb::Volume& v)
{
    uint64_t h = 1469598103934665603ull;
    for (auto& kv : v.databases()) {
        const cedb::Database& db = *kv.second;
        for (const cedb::Index& idx : db.indexes)
            if (idx.size() != db.indexes[0].size()) return 0;
        h = Fnv(h, &db.oid, 4);
        h = Fnv(h, db.layout.name.data(), db.layout.name.size() * 2);
        h = Fnv(h, &db.layout.type, 4);
        for (const cedb::SortOrder& o : db.layout.orders)
            for (const cedb::SortKey& k : o) {
                h = Fnv(h, &k.propid, 4);
                h = Fnv(h, &k.flags, 4);
            }
        for (const cedb::IndexEntry& e : db.indexes[0]) {
            const cedb::Record* r = v.FindRecord(e.oid);
            if (!r || r->db != db.oid) return 0;
            h = Fnv(h, &e.oid, 4);
            h = Fnv(h, r->payload.data(), r->payload.size());
        }
        for (size_t i = 1; i < db.indexes.size(); ++i)
            for (const cedb::IndexEntry& e : db.indexes[i]) h = Fnv(h, &e.oid, 4);
        h = Fnv(h, "|", 1);
    }
    return h ? h : 1;
}

cedb::Status RunStep(cedb::Volume* v, const Step& s)
{
    uint32_t oid = 0;
    switch (s.kind) {
    case Step::kCreateDb: return v->CreateDatabase(s.layout, &oid);
    case Step::kDeleteDb: return v->DeleteDatabase(s.db);
    case Step::kPut: case Step::kUpdate: return v->WriteRecord(s.db, s.oid, s.props, s.deletes, &oid);
    case Step::kDeleteRecord: return v->DeleteRecord(s.db, s.oid);
    case Step::kFlush: return v->Flush();
    case Step::kCompact: return v->Compact();
    }
    return cedb::Status::Ok();
}

Script MakeScript(uint32_t seed, size_t steps)
{
    std::mt19937 rng(seed);
    FaultFileSystem fs;
    std::unique_ptr<cedb::Volume> model;
    // Only the model's state counts, not its file: a page of zeros ahead
    // keeps the memory file small.
    cedb::MountOptions options;
    options.allocate_ahead = 4096;
    cedb::Volume::Mount(&fs, "model.vol", options, &model);
    Script out;
    out.digests.push_back(Digest(*model));
    int names = 0;
    while (out.steps.size() < steps) {
        Step s;
        std::vector<uint32_t> dbs;
        for (auto& kv : model->databases()) dbs.push_back(kv.first);
        unsigned roll = rng() % 100;
        if (dbs.empty() || roll < 5) {
            s.kind = Step::kCreateDb;
            s.layout.name = u"db" + std::u16string(1, static_cast<char16_t>(u'A' + names++ % 26));
            if (model->FindDatabaseByName(s.layout.name)) continue;
            size_t orders = rng() % 4;
            for (size_t i = 0; i < orders; ++i) {
                cedb::SortOrder o;
                size_t keys = 1 + rng() % 2;
                for (size_t k = 0; k < keys; ++k) o.push_back(cedb::SortKey{RandomPropId(rng, true), static_cast<uint32_t>(rng() % 8)});
                s.layout.orders.push_back(o);
            }
        } else {
            s.db = dbs[rng() % dbs.size()];
            const cedb::Database* db = model->FindDatabase(s.db);
            std::vector<uint32_t> recs;
            for (const cedb::IndexEntry& e : db->indexes[0]) recs.push_back(e.oid);
            if (roll < 7) {
                s.kind = Step::kDeleteDb;
            } else if (roll < 10) {
                s.kind = Step::kCompact;
            } else if (roll < 30) {
                s.kind = Step::kFlush;
            } else if (roll < 65 || recs.empty()) {
                s.kind = Step::kPut;
                size_t n = 1 + rng() % 5;
                for (size_t i = 0; i < n; ++i) s.props.push_back(RandomProp(rng, RandomPropId(rng, false)));
            } else if (roll < 88) {
                s.kind = Step::kUpdate;
                s.oid = recs[rng() % recs.size()];
                size_t n = rng() % 3;
                for (size_t i = 0; i < n; ++i) s.props.push_back(RandomProp(rng, RandomPropId(rng, false)));
                if (rng() % 3 == 0) s.deletes.push_back(RandomPropId(rng, false));
            } else {
                s.kind = Step::kDeleteRecord;
                s.oid = recs[rng() % recs.size()];
            }
        }
        if (!RunStep(model.get(), s).ok()) continue;
        out.steps.push_back(s);
        out.digests.push_back(Digest(*model));
    }
    return out;
}

bool MatchesPrefix(const Script& s, uint64_t digest, size_t from)
{
    return std::find(s.digests.begin() + static_cast<std::ptrdiff_t>(std::min(from, s.digests.size())), s.digests.end(),
                     digest) != s.digests.end();
}

size_t RunScript(cedb::Volume* v, const Script& s)
{
    size_t acked = 0;
    for (size_t i = 0; i < s.steps.size() && RunStep(v, s.steps[i]).ok(); ++i)
        if (s.steps[i].kind == Step::kFlush || s.steps[i].kind == Step::kCompact) acked = i + 1;
    return acked;
}

}  // namespace cedb_test
