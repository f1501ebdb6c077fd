// Fuzz target: any bytes as a volume file. Mounting must either refuse the
// file without touching it or give a volume whose every database, index and
// record can be walked, changed, flushed and mounted again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/cedb/core/volume.h"
#include "tests/cedb/fault_fs.h"
#include "tests/cedb/workload.h"

namespace {

using namespace cedb;

void Require(bool ok)
{
    if (!ok) std::abort();
}

void Walk(Volume& v)
{
    for (auto& kv : v.databases()) {
        const Database& db = *kv.second;
        for (size_t i = 0; i < db.indexes.size(); ++i) {
            Cursor c;
            uint32_t prop = i == 0 ? 0 : db.layout.orders[i - 1][0].propid;
            Require(v.OpenCursor(db.oid, prop, &c).ok() || i > 0);
            if (!c.db) continue;
            size_t n = 0;
            std::vector<Prop> first;
            for (const Record* r = v.Current(&c); r; r = v.Current(&c), ++n) {
                std::vector<Prop> props;
                Require(Volume::RecordProps(*r, &props));
                if (n == 0) first = props;
                v.Advance(&c);
            }
            Require(n == db.count());
            if (i > 0 && !first.empty()) {
                std::vector<Prop> probe;
                for (const SortKey& k : db.layout.orders[i - 1]) {
                    const Prop* p = FindProp(first, k.propid);
                    if (!p) break;
                    probe.push_back(*p);
                }
                for (uint32_t kind = kSeekValueSmaller; kind <= kSeekValueGreaterOrEqual; kind <<= 1)
                    v.Seek(&c, kind, 0, probe, nullptr);
            }
            v.Seek(&c, kSeekEnd, 0, {}, nullptr);
            v.CloseCursor(&c);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    cedb_test::FaultFileSystem fs;
    fs.SetContents("f.vol", input);
    std::string now;
    {
        std::unique_ptr<Volume> v;
        MountOptions ro;
        ro.read_only = true;
        if (Volume::Mount(&fs, "f.vol", ro, &v).ok()) Walk(*v);
        Require(fs.GetContents("f.vol", &now) && now == input);
    }
    // Little space allocated ahead keeps each run quick.
    MountOptions rw;
    rw.allocate_ahead = 4096;
    std::unique_ptr<Volume> v;
    if (!Volume::Mount(&fs, "f.vol", rw, &v).ok()) {
        Require(fs.GetContents("f.vol", &now) && now == input);
        return 0;
    }
    Walk(*v);
    uint32_t db = 0, oid = 0;
    Prop p;
    p.id = 0x0001001F;
    p.s = u"fuzz";
    if (v->CreateDatabase(DatabaseLayout{u"fuzz-new", 0, 0, {{SortKey{p.id, kSortCaseInsensitive}}}}, &db).ok())
        Require(v->WriteRecord(db, 0, {p}, {}, &oid).ok());
    if (!v->databases().empty()) {
        const Database& first = *v->databases().begin()->second;
        if (first.count()) Require(v->DeleteRecord(first.oid, first.indexes[0].begin()->oid).ok());
    }
    const uint64_t digest = cedb_test::Digest(*v);
    Require(digest != 0);
    Require(v->Unmount().ok());
    v.reset();
    Require(Volume::Mount(&fs, "f.vol", rw, &v).ok());
    Require(cedb_test::Digest(*v) == digest);
    return 0;
}
