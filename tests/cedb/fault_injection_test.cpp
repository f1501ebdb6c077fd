// Crash safety of the engine over a file layer that loses, keeps or garbles
// unsynced writes and fails chosen calls. After every fault the volume must
// mount, hold every flushed change, and show no half-written change: its
// state equals the state after some prefix of the work, no shorter than
// what was flushed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "platform/cedb/core/log_format.h"
#include "tests/cedb/crafted_volumes.h"
#include "tests/cedb/fault_fs.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/cedb/workload.h"

namespace {

using namespace cedb;
using cedb_test::FaultFileSystem;
using cedb_test::Script;
using cedb_test::Unsynced;

const char kPath[] = "v.vol";

::testing::AssertionResult RecoversPrefix(FaultFileSystem& fs, const Script& script, size_t acked)
{
    std::unique_ptr<Volume> v;
    Status s = Volume::Mount(&fs, kPath, MountOptions(), &v);
    if (!s.ok()) return ::testing::AssertionFailure() << "mount failed: " << s.message;
    uint64_t d = cedb_test::Digest(*v);
    if (!cedb_test::MatchesPrefix(script, d, acked))
        return ::testing::AssertionFailure() << "state is not a prefix of at least " << acked << " steps";
    // The recovered volume must take new work and survive a clean remount.
    uint32_t oid;
    s = v->CreateDatabase(DatabaseLayout{u"after-recovery", 0, 0, {}}, &oid);
    if (s.ok()) s = v->Unmount();
    if (!s.ok()) return ::testing::AssertionFailure() << "volume unusable after recovery: " << s.message;
    v.reset();
    s = Volume::Mount(&fs, kPath, MountOptions(), &v);
    if (!s.ok() || !v->FindDatabaseByName(u"after-recovery"))
        return ::testing::AssertionFailure() << "remount after recovery lost data";
    return ::testing::AssertionSuccess();
}

size_t RunOn(FaultFileSystem& fs, const Script& script)
{
    std::unique_ptr<Volume> v;
    if (!Volume::Mount(&fs, kPath, MountOptions(), &v).ok()) return 0;
    return cedb_test::RunScript(v.get(), script);  // v goes without unmounting: a crash
}

TEST(CrashAtSyncPoints, EveryFlushedChangeSurvivesWhateverHappensToUnsyncedWrites)
{
    const Script script = cedb_test::MakeScript(11, 160);
    FaultFileSystem probe;
    RunOn(probe, script);
    const uint64_t total = probe.syncs();
    ASSERT_GT(total, 20u);
    std::mt19937 rng(5);
    for (uint64_t k = 1; k <= total; ++k) {
        for (Unsynced how : {Unsynced::kDropAll, Unsynced::kApplyAll, Unsynced::kRandom}) {
            FaultFileSystem fs;
            fs.PowerOffAfterSyncs(k);
            size_t acked = RunOn(fs, script);
            fs.Crash(how, &rng);
            ASSERT_TRUE(RecoversPrefix(fs, script, acked)) << "sync " << k << " mode " << int(how);
        }
    }
}

TEST(FailingCalls, NthCallFailingOnceOrForGoodNeverLosesFlushedWork)
{
    const Script script = cedb_test::MakeScript(23, 80);
    for (bool persistent : {false, true}) {
        for (uint64_t n = 1;; ++n) {
            FaultFileSystem fs;
            fs.FailAt(n, persistent);
            size_t acked = RunOn(fs, script);
            bool hit = fs.calls() >= n;
            std::mt19937 rng(static_cast<uint32_t>(n));
            fs.Crash(Unsynced::kApplyAll, &rng);
            ASSERT_TRUE(RecoversPrefix(fs, script, acked)) << "call " << n << (persistent ? " persistent" : " once");
            if (!hit) break;
        }
    }
}

class VolumeFaults : public ::testing::Test {
protected:
    std::unique_ptr<Volume> Mount()
    {
        std::unique_ptr<Volume> v;
        Status s = Volume::Mount(&fs, kPath, MountOptions(), &v, &report);
        EXPECT_TRUE(s.ok()) << s.message;
        return v;
    }
    uint32_t Put(Volume* v, uint32_t db, int32_t value)
    {
        Prop p;
        p.id = 0x10003;
        p.i = value;
        uint32_t oid = 0;
        EXPECT_TRUE(v->WriteRecord(db, 0, {p}, {}, &oid).ok());
        return oid;
    }
    // Ten live records among many dead ones, flushed: unmounting compacts.
    uint32_t FillForCompaction(Volume* v, std::vector<uint32_t>* oids)
    {
        uint32_t db = 0;
        EXPECT_TRUE(v->CreateDatabase(DatabaseLayout{u"d", 0, 0, {}}, &db).ok());
        for (int i = 0; i < 100; ++i) oids->push_back(Put(v, db, i));
        for (int i = 0; i < 90; ++i) EXPECT_TRUE(v->DeleteRecord(db, (*oids)[i]).ok());
        EXPECT_TRUE(v->Flush().ok());
        return db;
    }
    FaultFileSystem fs;
    MountReport report;
};

// A failed flush takes the volume back to what the file holds, in memory as
// on disk, and tells observers what changed back; the failure lasts only as
// long as its cause.
TEST_F(VolumeFaults, FailedFlushDropsWhatItLostAndLastsOnlyAsLongAsItsCause)
{
    auto v = Mount();
    std::vector<std::pair<Change, uint32_t>> heard;
    v->SetObserver([&](Change ch, uint32_t, uint32_t oid) { heard.emplace_back(ch, oid); });
    uint32_t db, gone, oid;
    ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"d", 0, 0, {{SortKey{0x10003, 0}}}}, &db).ok());
    const uint32_t kept = Put(v.get(), db, 1), still = Put(v.get(), db, 6), changed = Put(v.get(), db, 7);
    ASSERT_TRUE(v->Flush().ok());
    ASSERT_TRUE(v->WriteRecord(db, changed, {Prop{0x10003, 8}}, {}, &oid).ok());  // the same size
    const uint32_t lost = Put(v.get(), db, 2);
    Cursor on_lost;
    ASSERT_TRUE(v->OpenCursor(db, 0x10003, &on_lost).ok());
    ASSERT_EQ(lost, v->Seek(&on_lost, kSeekOid, lost, {}, nullptr));
    ASSERT_TRUE(v->DeleteRecord(db, kept).ok());
    ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"gone", 0, 0, {}}, &gone).ok());
    heard.clear();
    fs.FailAt(2, false);  // the write succeeds, the sync fails
    EXPECT_EQ(kErrIoDevice, v->Flush().code);
    EXPECT_TRUE(v->FindRecord(kept));
    EXPECT_FALSE(v->FindRecord(lost));
    EXPECT_FALSE(v->FindDatabase(gone));
    EXPECT_EQ(nullptr, v->Current(&on_lost));  // its record is gone: past the end
    std::vector<std::pair<Change, uint32_t>> changed_back{{Change::kDatabaseDeleted, gone},
        {Change::kRecordDeleted, lost}, {Change::kRecordCreated, kept}, {Change::kRecordChanged, changed}};
    std::sort(changed_back.begin(), changed_back.end());
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(changed_back, heard);
    ASSERT_EQ(kept, v->Seek(&on_lost, kSeekBeginning, 0, {}, nullptr));
    const uint32_t after = Put(v.get(), db, 3);
    EXPECT_TRUE(v->Flush().ok());

    // While the file cannot even be cut back, changes are refused; then
    // the next one goes through.
    Put(v.get(), db, 4);
    fs.FailAt(1, true);
    EXPECT_FALSE(v->Flush().ok());
    EXPECT_EQ(kErrIoDevice, v->WriteRecord(db, 0, {}, {}, &oid).code);
    fs.FailAt(0, false);
    const uint32_t last = Put(v.get(), db, 5);
    EXPECT_TRUE(v->Flush().ok());
    // Unmounting lets go of the cursor: it reads nothing and closes safely.
    ASSERT_TRUE(v->Unmount().ok());
    EXPECT_EQ(nullptr, v->Current(&on_lost));
    v->CloseCursor(&on_lost);
    v.reset();
    v = Mount();
    EXPECT_EQ(5u, v->FindDatabase(db)->count());
    for (uint32_t present : {kept, still, changed, after, last}) EXPECT_TRUE(v->FindRecord(present)) << present;
}

// Full disk at every byte of a run of writes: what was flushed stays, the
// write that did not fit is gone, and once space is freed writing goes on.
// Below the step by which the file grows ahead, entries still fit one by one.
TEST(FullDisk, EveryWriteEitherLastsOrIsGoneAndSpaceFreedLetsWritingGoOn)
{
    size_t fit_in_no_room = 0;  // the zeros allocated ahead at mount hold a few
    for (uint64_t room = 0; room < 700; room += 37) {
        FaultFileSystem base;
        cedb_test::FullDiskFileSystem fs(&base);
        MountOptions opt;
        opt.allocate_ahead = 256;
        std::unique_ptr<Volume> v;
        ASSERT_TRUE(Volume::Mount(&fs, kPath, opt, &v).ok());
        uint32_t db;
        ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"d", 0, 0, {}}, &db).ok());
        ASSERT_TRUE(v->Flush().ok());
        fs.SetFreeBytes(room);
        std::vector<uint32_t> saved;
        Status s;
        for (int i = 0; i < 60 && s.ok(); ++i) {
            Prop p;
            p.id = 0x1001F;
            p.s = u"note " + std::u16string(static_cast<size_t>(i % 7), u'x');
            uint32_t oid = 0;
            s = v->WriteRecord(db, 0, {p}, {}, &oid);
            if (s.ok()) s = v->Flush();
            if (s.ok()) saved.push_back(oid);
            else EXPECT_FALSE(v->FindRecord(oid)) << "room " << room;
        }
        ASSERT_EQ(kErrDiskFull, s.code) << "room " << room;
        EXPECT_EQ(saved.size(), v->FindDatabase(db)->count()) << "room " << room;
        // Entries take under 60 bytes each: every such step of room holds one more.
        if (room == 0) fit_in_no_room = saved.size();
        EXPECT_GE(saved.size(), fit_in_no_room + room / 60) << "room " << room;
        fs.SetUnlimited();
        uint32_t oid;
        ASSERT_TRUE(v->WriteRecord(db, 0, {}, {}, &oid).ok());
        saved.push_back(oid);
        ASSERT_TRUE(v->Unmount().ok());
        v.reset();
        ASSERT_TRUE(Volume::Mount(&fs, kPath, opt, &v).ok()) << "room " << room;
        EXPECT_EQ(saved.size(), v->FindDatabase(db)->count()) << "room " << room;
        for (uint32_t oid : saved) EXPECT_TRUE(v->FindRecord(oid)) << "room " << room;
    }
}

// Damage after the last flushed entry is a torn write, cut off at mount;
// damage before it is refused, and the file left as it was.
TEST(Damage, ATornTailIsCutOffAndDamageBeforeItRefusedLeavingTheFile)
{
    for (bool torn : {true, false}) {
        FaultFileSystem fs;
        std::unique_ptr<Volume> v;
        ASSERT_TRUE(Volume::Mount(&fs, kPath, MountOptions(), &v).ok());
        uint32_t db, oid;
        ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"d", 0, 0, {}}, &db).ok());
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(v->WriteRecord(db, 0, {}, {}, &oid).ok() && v->Flush().ok());
        const uint64_t end = v->log_bytes();
        v.reset();
        std::string bytes, after;
        fs.GetContents(kPath, &bytes);
        bytes.resize(end);
        if (torn) bytes += std::string(200, '\x11');  // longer than what the mount writes after it
        else bytes[kHeaderSize + 10] ^= 0x20;  // inside the first entry
        fs.SetContents(kPath, bytes);
        MountOptions few_zeros;  // fewer than the tail holds, so the tail is not just written over
        few_zeros.allocate_ahead = 64;
        // A mount whose n-th file call fails either fails or cuts the tail all the same.
        for (uint64_t n = 1; torn; ++n) {
            fs.SetContents(kPath, bytes);
            fs.FailAt(n, false);
            const uint64_t before = fs.calls();
            const bool mounted = Volume::Mount(&fs, kPath, few_zeros, &v).ok();
            const bool hit = fs.calls() - before >= n;
            fs.FailAt(0, false);
            fs.GetContents(kPath, &after);
            if (mounted) EXPECT_EQ(std::string::npos, after.find(std::string(20, '\x11'))) << "call " << n;
            v.reset();
            if (!hit) break;
        }
        fs.SetContents(kPath, bytes);
        MountReport report;
        Status s = Volume::Mount(&fs, kPath, few_zeros, &v, &report);
        fs.GetContents(kPath, &after);
        if (!torn) {
            EXPECT_EQ(kErrFileCorrupt, s.code);
            EXPECT_NE(std::string::npos, s.message.find("offset 32")) << s.message;
            EXPECT_EQ(bytes, after);
            continue;
        }
        ASSERT_TRUE(s.ok()) << s.message;
        EXPECT_EQ(200u, report.torn_bytes);
        EXPECT_EQ(bytes.substr(0, end), after.substr(0, end));
        EXPECT_EQ(std::string::npos, after.find(std::string(20, '\x11')));
        EXPECT_EQ(5u, v->FindDatabase(db)->count());
    }
}

// Entries whose checksums hold but whose contents make no sense beside the
// entries before them are refused, naming the entry.
TEST(Damage, SoundEntriesThatMakeNoSenseAreRefused)
{
    const auto database = [](uint32_t oid, const std::u16string& name, uint8_t orders, const std::string& tail) {
        return cedb_test::DatabaseEntry(oid, name, orders) + tail;
    };
    const auto ids = [](uint32_t a, uint32_t b, const std::string& tail) {
        std::string e;
        PutU32(&e, a), PutU32(&e, b);
        return e + tail;
    };
    std::string blob_key("\x01");  // a sort order on a blob
    PutU32(&blob_key, 0x10041), PutU32(&blob_key, 0);
    // Database 1 "d" holds record 2; database 3 "e" exists.
    const struct {
        uint8_t type;
        std::string payload;
        const char* problem;
    } cases[] = {
        {kEntryCreateDatabase, database(5, u"x", 0, "!"), "bad database creation"},
        {kEntryCreateDatabase, database(5, u"x", 1, ""), "bad database creation"},
        {kEntryCreateDatabase, database(0, u"x", 0, ""), "bad database creation"},
        {kEntryCreateDatabase, database(3, u"x", 0, ""), "bad database creation"},
        {kEntryCreateDatabase, database(2, u"x", 0, ""), "bad database creation"},
        {kEntryCreateDatabase, database(5, u"e", 0, ""), "bad database creation"},
        {kEntryCreateDatabase, database(5, u"x", 1, blob_key), "bad database creation"},
        {kEntryDeleteDatabase, ids(9, 0, "").substr(0, 4), "deletes an unknown database"},
        {kEntryDeleteDatabase, ids(3, 0, ""), "deletes an unknown database"},
        {kEntryPutRecord, ids(1, 0, std::string(2, '\0')), "bad record"},
        {kEntryPutRecord, ids(9, 7, std::string(2, '\0')), "bad record"},
        {kEntryPutRecord, ids(1, 3, std::string(2, '\0')), "bad record"},
        {kEntryPutRecord, ids(1, 7, "\x01"), "bad record"},
        {kEntryPutRecord, ids(3, 2, std::string(2, '\0')), "record moved between databases"},
        {kEntryDeleteRecord, ids(1, 7, ""), "deletes an unknown record"},
        {kEntryDeleteRecord, ids(3, 2, ""), "deletes an unknown record"},
        {kEntryDeleteRecord, ids(1, 2, "!"), "deletes an unknown record"},
        {kEntryCheckpoint, "!", "bad checkpoint"},
    };
    for (const auto& c : cases) {
        Header header;
        std::string file;
        EncodeHeader(header, &file);
        for (const std::string& e : {database(1, u"d", 0, ""), ids(1, 2, std::string(2, '\0'))})
            AppendEntry(&file, header.generation, e.size() > 10 ? kEntryCreateDatabase : kEntryPutRecord, 0, e.data(),
                        e.size());
        const std::string second = database(3, u"e", 0, "");
        AppendEntry(&file, header.generation, kEntryCreateDatabase, 0, second.data(), second.size());
        const size_t at = file.size();
        AppendEntry(&file, header.generation, c.type, file.size(), c.payload.data(), c.payload.size());
        FaultFileSystem fs;
        fs.SetContents(kPath, file);
        std::unique_ptr<Volume> v;
        Status s = Volume::Mount(&fs, kPath, MountOptions(), &v);
        EXPECT_EQ(kErrFileCorrupt, s.code) << c.problem;
        EXPECT_NE(std::string::npos, s.message.find("entry at offset " + std::to_string(at) + ": " + c.problem))
            << s.message;
    }
}

TEST_F(VolumeFaults, CompactionRewritesIntoANewFileAndKeepsObjectIds)
{
    auto v = Mount();
    std::vector<uint32_t> oids;
    const uint32_t db = FillForCompaction(v.get(), &oids);
    ASSERT_TRUE(v->DeleteRecord(db, oids[99]).ok());  // the highest id goes too
    uint64_t before = v->log_bytes();
    ASSERT_TRUE(v->Unmount().ok());
    v.reset();
    std::string bytes;
    fs.GetContents(kPath, &bytes);
    EXPECT_LT(bytes.size(), before / 4);
    EXPECT_FALSE(fs.Exists(std::string(kPath) + ".compact"));

    fs.SetContents(std::string(kPath) + ".compact", "left over by a crash");
    v = Mount();
    EXPECT_FALSE(fs.Exists(std::string(kPath) + ".compact"));
    EXPECT_EQ(9u, v->FindDatabase(db)->count());
    EXPECT_TRUE(v->FindRecord(oids[95]));
    EXPECT_GT(Put(v.get(), db, 7), oids[99]);  // ids are never reused
}

// Payloads read at mount borrow from the file image, and a mount packs the
// live ones into a smaller buffer: a record without properties is so short
// that a careless buffer keeps it inside a stack frame that then returns.
TEST_F(VolumeFaults, ShortPayloadsOutliveTheMountThatPackedThem)
{
    auto v = Mount();
    uint32_t db, bare;
    ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"d", 0, 0, {}}, &db).ok());
    ASSERT_TRUE(v->WriteRecord(db, 0, {}, {}, &bare).ok());
    ASSERT_TRUE(v->DeleteRecord(db, Put(v.get(), db, 5)).ok());
    ASSERT_TRUE(v->Unmount().ok());
    for (int round = 0; round < 2; ++round) {
        v.reset();
        v = Mount();
        if (round == 0) {
            ASSERT_TRUE(v->Compact().ok());
        }
        const Record* r = v->FindRecord(bare);
        ASSERT_TRUE(r) << "round " << round;
        std::vector<Prop> props{Prop()};
        EXPECT_TRUE(Volume::RecordProps(*r, &props));
        EXPECT_TRUE(props.empty());
        EXPECT_EQ(1u, v->FindDatabase(db)->count());
    }
}

// Mounting builds sort orders in bulk, by another method than the inserts
// made while writing; both must give the same orders, ties and all, for the
// values easiest to get wrong.
TEST_F(VolumeFaults, SortOrdersBuiltAtMountMatchTheOnesKeptWhileWriting)
{
    const uint32_t kReal = 0x10005, kLong = 0x20003, kShort = 0x30002;
    const DatabaseLayout layout{u"d", 0, 0, {{SortKey{kReal, 0}}, {SortKey{kReal, kSortDescending | kSortUnknownFirst}},
        {SortKey{kLong, kSortUnknownFirst}}, {SortKey{kShort, kSortDescending}, SortKey{kReal, 0}}}};
    const double reals[] = {std::nan(""), -0.0, 0.0, -1.5, 2.5, 1e300, -HUGE_VAL, HUGE_VAL};
    const int64_t longs[] = {INT32_MIN, -1, 0, 1, INT32_MAX};
    const auto props = [&](int i) {
        std::vector<Prop> ps;
        if (i % 9) ps.push_back(Prop{kReal, 0, reals[i % 8]});
        if (i % 7) ps.push_back(Prop{kLong, longs[i % 5]});
        if (i % 5) ps.push_back(Prop{kShort, i % 3 - 1});
        return ps;
    };
    auto v = Mount();
    uint32_t db, oid;
    std::vector<uint32_t> oids;
    ASSERT_TRUE(v->CreateDatabase(layout, &db).ok());
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(v->WriteRecord(db, 0, props(i), {}, &oid).ok());
        oids.push_back(oid);
    }
    // First only creations (the entries replayed are sorted as they are),
    // then rewrites and deletions (the orders are rebuilt from the records).
    for (int pass = 0; pass < 2; ++pass) {
        const uint64_t written = cedb_test::Digest(*v);
        ASSERT_TRUE(v->Flush().ok());
        v.reset();
        v = Mount();
        EXPECT_EQ(written, cedb_test::Digest(*v)) << "pass " << pass;
        for (size_t i = pass; i < oids.size(); i += 3) {
            if (i % 2) ASSERT_TRUE(v->DeleteRecord(db, oids[i]).ok());
            else ASSERT_TRUE(v->WriteRecord(db, oids[i], props(static_cast<int>(i) + 1), {kLong}, &oid).ok());
        }
    }
}

TEST_F(VolumeFaults, CompactionCutBetweenDeleteAndMoveIsTakenUpByTheNextMount)
{
    const std::string compact = std::string(kPath) + ".compact";
    auto v = Mount();
    std::vector<uint32_t> oids;
    const uint32_t db = FillForCompaction(v.get(), &oids);
    fs.DieInsideNextRename();
    EXPECT_FALSE(v->Unmount().ok());
    v.reset();
    std::mt19937 rng(2);
    fs.Crash(Unsynced::kDropAll, &rng);
    ASSERT_FALSE(fs.Exists(kPath));
    std::string whole;
    ASSERT_TRUE(fs.GetContents(compact, &whole));

    v = Mount();
    EXPECT_FALSE(report.created);
    EXPECT_FALSE(fs.Exists(compact));
    ASSERT_TRUE(v->FindDatabase(db));
    EXPECT_EQ(10u, v->FindDatabase(db)->count());
    EXPECT_TRUE(v->FindRecord(oids[99]));
    v.reset();

    // A compacted file cut short anywhere, or missing its closing
    // checkpoint, holds no more than the lost volume did: it is removed.
    for (size_t cut : {size_t(1), kEntryHeaderSize, whole.size() / 2, whole.size() - kHeaderSize}) {
        ASSERT_TRUE(fs.Remove(kPath).ok());
        fs.SetContents(compact, whole.substr(0, whole.size() - cut));
        v = Mount();
        EXPECT_TRUE(report.created) << "cut " << cut;
        EXPECT_FALSE(fs.Exists(compact)) << "cut " << cut;
        EXPECT_TRUE(v->databases().empty()) << "cut " << cut;
        v.reset();
    }
}

TEST_F(VolumeFaults, RefusedRenameIsRetriedForAShortBoundedTime)
{
    auto v = Mount();
    std::vector<uint32_t> oids;
    const uint32_t db = FillForCompaction(v.get(), &oids);
    const uint64_t before = v->log_bytes();
    fs.RefuseRenames(2, kErrSharingViolation);
    ASSERT_TRUE(v->Compact().ok());
    EXPECT_GT(fs.paused_ms(), 0u);
    EXPECT_LT(v->log_bytes(), before / 2);

    const uint32_t paused = fs.paused_ms();
    Put(v.get(), db, 1000);
    fs.RefuseRenames(1000, kErrAccessDenied);
    Status s = v->Compact();
    EXPECT_EQ(kErrAccessDenied, s.code);
    EXPECT_NE(std::string::npos, s.message.find("in use")) << s.message;
    EXPECT_GE(fs.paused_ms() - paused, kRenameRetryMilliseconds);
    EXPECT_LE(fs.paused_ms() - paused, kRenameRetryMilliseconds + 250);

    // Only a refusal is worth waiting for.
    fs.RefuseRenames(1, kErrIoDevice);
    const uint32_t waited = fs.paused_ms();
    EXPECT_EQ(kErrIoDevice, v->Compact().code);
    EXPECT_EQ(waited, fs.paused_ms());

    // The old file stays in use and takes new work.
    fs.RefuseRenames(0, 0);
    Put(v.get(), db, 1001);
    ASSERT_TRUE(v->Flush().ok());
    v.reset();
    v = Mount();
    EXPECT_EQ(12u, v->FindDatabase(db)->count());
}

// Unmounting lets go of a shared volume at once, before the object goes:
// another mount may then have the volume alone and compact it.
TEST_F(VolumeFaults, UnmountLetsGoOfASharedVolume)
{
    const std::string path = ::testing::TempDir() + "cedb_unmounted_" + std::to_string(std::random_device()()) + ".vol";
    MountOptions shared;
    shared.shared = true;
    std::unique_ptr<Volume> first, second;
    ASSERT_TRUE(Volume::Mount(FileSystem::Default(), path, shared, &first).ok());
    ASSERT_TRUE(first->Unmount().ok());
    ASSERT_TRUE(Volume::Mount(FileSystem::Default(), path, shared, &second).ok());
    std::vector<uint32_t> oids;
    FillForCompaction(second.get(), &oids);
    const uint64_t before = second->log_bytes();
    ASSERT_TRUE(second->Compact().ok());
    EXPECT_LT(second->log_bytes(), before / 2);
    second.reset();
    first.reset();
    for (const std::string& file : {path, path + ".lock"}) std::remove(file.c_str());
}

// A copy holds every byte however many chunks it takes, is durable when it
// succeeds, goes only to a new file, and reports a read that failed.
TEST(FileHelpers, CopyToNewFileIsWholeDurableAndNew)
{
    FaultFileSystem fs;
    std::string bytes(2500000, 'x');
    for (size_t i = 0; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(i);
    fs.SetContents("a", bytes);
    ASSERT_TRUE(CopyToNewFile(&fs, "a", "b").ok());
    fs.Crash(Unsynced::kDropAll, nullptr);
    std::string copy;
    ASSERT_TRUE(fs.GetContents("b", &copy));
    EXPECT_TRUE(bytes == copy);
    EXPECT_EQ(kErrFileExists, CopyToNewFile(&fs, "a", "b").code);
    fs.FailAt(3, false);  // two opens, then the first read
    EXPECT_EQ(kErrIoDevice, CopyToNewFile(&fs, "a", "c").code);
}

}  // namespace
