// Several processes on one shared volume, against real files.
//
// Taking turns: two processes write, change and delete records in turn; each
// must see the other's work as it is on the file, hear of it as changes of
// its own are heard of, and never hand out an object id the other used.
//
// Crash trials: two writers add and delete records at once, one of them
// flushing every few changes; that one dies at a byte of its write stream
// chosen from the seed (usually while it holds the writer lock). The other
// must go on writing, and afterwards the volume must mount holding every
// change either acknowledged, nothing that was never written, and sort
// orders that agree with the records. A seed reproduces its trial.
//
//   shared_volume_test --trials N --seed S
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/cedb/dying_fs.h"
#include "tests/cedb/workload.h"

namespace {

using cedb::MountOptions;
using cedb::Status;
using cedb::Volume;

constexpr uint32_t kValue = (1u << 16) | cedb::kTypeI4;

std::string g_dir;

MountOptions Shared()
{
    MountOptions opt;
    opt.shared = true;
    return opt;
}

// A fresh volume with one database sorted on kValue; its object id.
uint32_t MakeVolume(const std::string& path, std::string* why)
{
    std::remove(path.c_str());
    std::unique_ptr<Volume> v;
    cedb::DatabaseLayout layout;
    layout.name = u"shared";
    layout.orders.push_back(cedb::SortOrder{cedb::SortKey{kValue, 0}});
    uint32_t db = 0;
    Status s = Volume::Mount(cedb::FileSystem::Default(), path, Shared(), &v);
    if (s.ok()) s = v->CreateDatabase(layout, &db);
    if (s.ok()) s = v->Unmount();
    if (!s.ok()) *why = "cannot make the volume: " + s.message;
    return s.ok() ? db : 0;
}

Status Put(Volume* v, uint32_t db, uint32_t oid, int64_t value, uint32_t* out)
{
    cedb::Prop p;
    p.id = kValue;
    p.i = value;
    return v->WriteRecord(db, oid, {p}, {}, out);
}

// Every record's value; empty when the sort order disagrees with them.
std::map<uint32_t, int64_t> Values(Volume& v, uint32_t db)
{
    std::map<uint32_t, int64_t> out;
    if (cedb_test::Digest(v) == 0) return out;
    for (const cedb::IndexEntry& e : v.FindDatabase(db)->indexes[0]) {
        std::vector<cedb::Prop> props;
        const cedb::Record* r = v.FindRecord(e.oid);
        const cedb::Prop* p = r && Volume::RecordProps(*r, &props) ? cedb::FindProp(props, kValue) : nullptr;
        out[e.oid] = p ? p->i : -1;
    }
    return out;
}

// ---- Taking turns ----------------------------------------------------------

// What one turn did, sent to the other process.
struct Turn {
    uint32_t added = 0, changed = 0, deleted = 0;
    int64_t value = 0, changed_to = 0;
};

constexpr int kRounds = 12;

// One side: waits for the other's turn, checks it, takes its own. Exit code
// 0, or 10 + the round whose check failed.
[[noreturn]] void TakeTurns(const std::string& path, uint32_t db, bool first, int in, int out, uint32_t seed)
{
    std::mt19937 rng(seed + (first ? 0 : 1));
    std::unique_ptr<Volume> v;
    if (!Volume::Mount(cedb::FileSystem::Default(), path, Shared(), &v).ok()) _exit(2);
    std::map<uint32_t, int> heard;  // oid -> last change heard of, as Change
    v->SetObserver([&](cedb::Change ch, uint32_t, uint32_t oid) { heard[oid] = static_cast<int>(ch); });
    std::map<uint32_t, int64_t> expected;
    for (int round = 0; round < kRounds; ++round) {
        if (round > 0 || !first) {
            Turn t;
            if (read(in, &t, sizeof t) != sizeof t) _exit(3);
            expected[t.added] = t.value;
            if (t.changed) expected[t.changed] = t.changed_to;
            if (t.deleted) expected.erase(t.deleted);
            heard.clear();
            // Refresh passes while the other process writes (its unmount
            // does): try again for up to a second.
            for (int tries = 0; tries < 100 && Values(*v, db) != expected; ++tries) {
                if (tries) usleep(10000);
                if (!v->Refresh().ok()) _exit(10 + round);
            }
            const bool toldOf = heard[t.added] == static_cast<int>(cedb::Change::kRecordCreated) &&
                                (!t.changed || heard[t.changed] == static_cast<int>(cedb::Change::kRecordChanged)) &&
                                (!t.deleted || heard[t.deleted] == static_cast<int>(cedb::Change::kRecordDeleted));
            if (!toldOf || Values(*v, db) != expected) _exit(10 + round);
        }
        Turn mine;
        mine.value = (first ? 1000 : 2000) + round;
        if (!Put(v.get(), db, 0, mine.value, &mine.added).ok() || expected.count(mine.added)) _exit(40 + round);
        expected[mine.added] = mine.value;
        // Change and delete records the other process made or this one did.
        std::vector<uint32_t> oids;
        for (auto& kv : expected)
            if (kv.first != mine.added) oids.push_back(kv.first);
        if (oids.size() >= 2) {
            std::shuffle(oids.begin(), oids.end(), rng);
            uint32_t ignored;
            mine.changed = oids[0];
            mine.changed_to = 5000 + rng() % 1000;
            mine.deleted = oids[1];
            if (!Put(v.get(), db, mine.changed, mine.changed_to, &ignored).ok() ||
                !v->DeleteRecord(db, mine.deleted).ok())
                _exit(60 + round);
            expected[mine.changed] = mine.changed_to;
            expected.erase(mine.deleted);
        }
        if (!v->Flush().ok()) _exit(80 + round);
        // The other side, when done, reads no more: its reads check the turns.
        if (write(out, &mine, sizeof mine) != sizeof mine && round + 1 < kRounds) _exit(4);
    }
    if (!v->Unmount().ok()) _exit(5);
    _exit(0);
}

bool TurnsTrial(uint32_t seed, std::string* why)
{
    const std::string path = g_dir + "/turns.vol";
    const uint32_t db = MakeVolume(path, why);
    if (!db) return false;
    int ab[2], ba[2];
    if (pipe(ab) != 0 || pipe(ba) != 0) {
        *why = "pipe failed";
        return false;
    }
    // Each side keeps only its own ends, so that the other's exit ends its reads.
    pid_t a = fork();
    if (a == 0) {
        close(ab[0]), close(ba[1]);
        TakeTurns(path, db, true, ba[0], ab[1], seed);
    }
    pid_t b = fork();
    if (b == 0) {
        close(ab[1]), close(ba[0]);
        TakeTurns(path, db, false, ab[0], ba[1], seed);
    }
    for (int fd : {ab[0], ab[1], ba[0], ba[1]}) close(fd);
    int sa = 0, sb = 0;
    waitpid(a, &sa, 0);
    waitpid(b, &sb, 0);
    if (WIFEXITED(sa) && WEXITSTATUS(sa) == 0 && WIFEXITED(sb) && WEXITSTATUS(sb) == 0) return true;
    auto code = [](int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); };
    *why = "taking turns failed: first process " + std::to_string(code(sa)) + ", second " +
           std::to_string(code(sb)) + " (10+round: did not see the other's turn; 40+: id reused)";
    return false;
}

// ---- Crash trials -----------------------------------------------------------

using cedb_test::DyingFileSystem;

// An acknowledged change, as a writer reports it: a record added with a
// value (value > 0) or deleted (value 0).
struct Ack {
    uint32_t oid;
    int64_t value;
};

constexpr int kWrites = 60;
// Small, so that the zeros the file grows by do not make up most of the
// bytes a writer may die in.
constexpr uint64_t kAllocateAhead = 1024;
// About what one writer writes: entries of 25 to 40 bytes, and as many zeros.
constexpr uint64_t kBytesPerWriter = kWrites * 40 * 2;

// Writer `who` adds records valued who * 100000 + n and deletes some of its
// own, flushing every `batch` changes and reporting what each flush made
// durable. The one over a dying file system mounts again every ten changes.
[[noreturn]] void Write(cedb::FileSystem* fs, const std::string& path, uint32_t db, int who, int batch, int fd)
{
    std::unique_ptr<Volume> v;
    MountOptions opt = Shared();
    opt.allocate_ahead = kAllocateAhead;
    if (!Volume::Mount(fs, path, opt, &v).ok()) _exit(2);
    std::vector<Ack> unflushed;
    std::vector<uint32_t> mine;
    for (int n = 1; n <= kWrites; ++n) {
        Ack a{0, who * 100000 + n};
        if (n % 4 == 0 && !mine.empty()) {
            a = Ack{mine.front(), 0};
            mine.erase(mine.begin());
            if (!v->DeleteRecord(db, a.oid).ok()) _exit(3);
        } else {
            if (!Put(v.get(), db, 0, a.value, &a.oid).ok()) _exit(3);
            mine.push_back(a.oid);
        }
        unflushed.push_back(a);
        if (n % batch != 0 && n != kWrites) continue;
        if (!v->Flush().ok()) _exit(4);
        for (const Ack& done : unflushed)
            if (write(fd, &done, sizeof done) != sizeof done) _exit(5);
        unflushed.clear();
        // The dying writer mounts again now and then, while the other writes.
        if (fs != cedb::FileSystem::Default() && n % 10 == 0) {
            if (!v->Unmount().ok()) _exit(6);
            if (!Volume::Mount(fs, path, opt, &v).ok()) _exit(2);
        }
    }
    if (!v->Unmount().ok()) _exit(6);
    _exit(0);
}

std::vector<Ack> ReadAcks(int fd)
{
    std::vector<Ack> acks;
    Ack a;
    while (read(fd, &a, sizeof a) == sizeof a) acks.push_back(a);
    close(fd);
    return acks;
}

bool CrashTrial(uint32_t seed, std::string* why)
{
    std::mt19937 rng(seed);
    const std::string path = g_dir + "/crash.vol";
    const uint32_t db = MakeVolume(path, why);
    if (!db) return false;
    const int batch = 1 + static_cast<int>(rng() % 5);
    const uint64_t dieAt = rng() % kBytesPerWriter;
    int fds[2][2];
    if (pipe(fds[0]) != 0 || pipe(fds[1]) != 0) {
        *why = "pipe failed";
        return false;
    }
    pid_t pids[2];
    for (int w = 0; w < 2; ++w) {
        pids[w] = fork();
        if (pids[w] != 0) continue;
        close(fds[w][0]);
        DyingFileSystem dying(dieAt, cedb::FileSystem::Default());
        Write(w == 0 ? static_cast<cedb::FileSystem*>(&dying) : cedb::FileSystem::Default(), path, db, w + 1,
              w == 0 ? batch : 1, fds[w][1]);
    }
    close(fds[0][1]);
    close(fds[1][1]);
    const std::vector<Ack> acks[2] = {ReadAcks(fds[0][0]), ReadAcks(fds[1][0])};
    int status[2];
    for (int w = 0; w < 2; ++w) waitpid(pids[w], &status[w], 0);
    const std::string where = " (batch " + std::to_string(batch) + ", killed at byte " + std::to_string(dieAt) + ")";
    if (!WIFEXITED(status[1]) || WEXITSTATUS(status[1]) != 0) {
        *why = "the surviving writer failed with code " + std::to_string(WEXITSTATUS(status[1])) + where;
        return false;
    }
    std::unique_ptr<Volume> v;
    Status s = Volume::Mount(cedb::FileSystem::Default(), path, MountOptions(), &v);
    if (!s.ok()) {
        *why = "volume does not mount: " + s.message + where;
        return false;
    }
    const std::map<uint32_t, int64_t> found = Values(*v, db);
    if (found.empty() && cedb_test::Digest(*v) == 0) {
        *why = "sort order disagrees with the records" + where;
        return false;
    }
    std::map<uint32_t, int64_t> acked;
    for (const auto& list : acks)
        for (const Ack& a : list) {
            if (a.value) acked[a.oid] = a.value;
            else acked.erase(a.oid);
        }
    // The survivor's work is acknowledged whole; the dead writer's changes
    // after its last flush may or may not be there. Those may delete its
    // oldest records: a writer deletes its own in the order it added them.
    std::set<uint32_t> mayBeGone;
    for (const Ack& a : acks[0])
        if (a.value && acked.count(a.oid) && mayBeGone.size() < static_cast<size_t>(batch)) mayBeGone.insert(a.oid);
    for (const auto& kv : acked) {
        auto at = found.find(kv.first);
        if (at == found.end() && mayBeGone.count(kv.first)) continue;
        if (at == found.end() || at->second != kv.second) {
            *why = "acknowledged record " + std::to_string(kv.first) + " lost or changed" + where;
            return false;
        }
    }
    for (const auto& kv : found) {
        const int64_t who = kv.second / 100000, n = kv.second % 100000;
        const bool deleted = std::any_of(acks[who == 1 ? 0 : 1].begin(), acks[who == 1 ? 0 : 1].end(),
                                         [&](const Ack& a) { return a.oid == kv.first && a.value == 0; });
        if (who < 1 || who > 2 || n < 1 || n > kWrites || deleted) {
            *why = "record " + std::to_string(kv.first) + " holds " + std::to_string(kv.second) +
                   ", which no one wrote or which was deleted" + where;
            return false;
        }
    }
    return v->Unmount().ok();
}

}  // namespace

int main(int argc, char** argv)
{
    long trials = 20;
    unsigned long seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--trials")) trials = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoul(argv[i + 1], nullptr, 10);
        else {
            std::fprintf(stderr, "usage: %s --trials N --seed S\n", argv[0]);
            return 2;
        }
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/shared_volume_XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror("mkdtemp");
        return 2;
    }
    g_dir = pattern;
    // The last turn's report may find the other side gone already.
    signal(SIGPIPE, SIG_IGN);
    std::string why;
    if (!TurnsTrial(static_cast<uint32_t>(seed), &why)) {
        std::fprintf(stderr, "%s\nreproduce with: %s --trials 0 --seed %lu\n", why.c_str(), argv[0], seed);
        return 1;
    }
    for (long t = 0; t < trials; ++t) {
        const uint32_t s = static_cast<uint32_t>(seed + t);
        if (!CrashTrial(s, &why)) {
            std::fprintf(stderr, "crash trial %ld failed: %s\nreproduce with: %s --trials 1 --seed %u\n", t,
                         why.c_str(), argv[0], s);
            return 1;
        }
    }
    std::printf("taking turns and %ld two-writer crash trials passed (seed %lu)\n", trials, seed);
    return 0;
}
