// Vantaro's database workload on the property database service and on
// SQLite, with the flush-bound workloads also beside their physical floor:
// the same bytes written and synced with no engine.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/cedb_vs_sqlite/activity_workload.h"
#include "bench/cedb_vs_sqlite/engines.h"
#include "bench/cedb_vs_sqlite/sync_floor.h"
#include "platform/cedb/core/file_system.h"
#include "platform/cedb/fixed_text.h"
#include "platform/cedb/windbase.h"

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// --- reporting -------------------------------------------------------------

struct Row {
    std::string name;
    double vantaro, sqlite;
};
std::vector<Row> g_rows;

void Report(const std::string& name, double ops, double vt, double st)
{
    g_rows.push_back(Row{name, ops / vt, ops / st});
    std::fprintf(stderr, "  %s done\n", name.c_str());
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * (v.size() - 1))];
}

// Per-operation latencies of a flush-bound workload: the engine, its floor
// (the same bytes written and synced bare) and SQLite.
struct Latencies {
    std::string name;
    std::vector<double> vantaro, floor, sqlite;  // microseconds
    double floorRate = 0;                        // operations a second
};
std::vector<Latencies> g_latencies;

std::string g_dir;
std::string File(const char* name) { return g_dir + "/" + name; }

void RemoveAll(const std::string& p)
{
    for (const char* suffix : {"", "-wal", "-shm", ".compact"}) unlink((p + suffix).c_str());
}

// The machine is shared, so its speed drifts: the write workloads run the
// engines alternately in blocks and add up each one's time.
void Interleave(int n, int block, const std::vector<std::function<void(int)>>& runs, std::vector<double>* times)
{
    times->assign(runs.size(), 0.0);
    for (int start = 0; start < n; start += block) {
        const int end = std::min(n, start + block);
        for (size_t r = 0; r < runs.size(); ++r) {
            auto t0 = Clock::now();
            for (int i = start; i < end; ++i) runs[r](i);
            (*times)[r] += Seconds(t0, Clock::now());
        }
    }
}

// Times one operation into a list of microseconds.
template <typename F>
void Timed(std::vector<double>* into, F operation)
{
    auto s = Clock::now();
    operation();
    into->push_back(Seconds(s, Clock::now()) * 1e6);
}

// The engine's volume `vol` recorded from its mount on, so its flushes can be
// made again bare on `bare`.
class Floor {
public:
    Floor(const char* vol, const char* bare) : floor_(File(vol)), bare_(File(bare))
    {
        cedb::SetServiceFileSystemForTesting(&floor_);
    }
    ~Floor()
    {
        cedb::SetServiceFileSystemForTesting(nullptr);
        unlink(bare_.c_str());
    }
    void Prepare(bool copyVolume = false)
    {
        if (!floor_.Prepare(bare_, copyVolume)) std::fprintf(stderr, "the bare file could not be prepared\n");
    }
    void Mark() { floor_.Mark(); }
    void Replay(int i)
    {
        if (!floor_.Replay(static_cast<size_t>(i))) std::fprintf(stderr, "bare write %d failed\n", i);
    }

private:
    SyncFloor floor_;
    std::string bare_;
};

// 1. Rewrite the notes of one 1 KB record and flush, many times.
void NotesEditing()
{
    const int n = 10000;
    std::mt19937 rng(1);
    Activity a = MakeActivity(rng, 900);
    std::vector<std::wstring> notes;
    std::vector<std::string> notes8;
    for (int i = 0; i < 64; ++i) {
        notes.push_back(Text(rng, 900));
        notes8.push_back(Utf8(notes.back()));
    }
    Latencies lat;
    lat.name = "1 notes editing (write+flush)";

    Floor floor("notes.vol", "notes.bare");
    Vantaro v(File("notes.vol"));
    v.Mount();
    v.Create();
    v.Open(kNextDate);
    CEOID oid = v.Write(a, 0);
    v.Flush();
    floor.Prepare();
    Lite l(File("notes.db"));
    l.Open();
    l.Create();
    l.PrepareWrites();
    long long row = l.Insert(a);

    std::vector<double> t;
    Interleave(
        n, 500,
        {[&](int i) {
             floor.Mark();
             Timed(&lat.vantaro, [&] {
                 CEPROPVAL p = {};
                 p.propid = kNotes;
                 p.val.lpwstr = const_cast<LPWSTR>(notes[i % 64].c_str());
                 CeWriteRecordProps(v.h, oid, 1, &p);
                 v.Flush();
             });
         },
         [&](int i) {
             Timed(&lat.sqlite, [&] {
                 const std::string& text = notes8[i % 64];
                 sqlite3_bind_text(l.update_notes, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_STATIC);
                 sqlite3_bind_int64(l.update_notes, 2, row);
                 Lite::Run(l.update_notes);
             });
         },
         [&](int i) { Timed(&lat.floor, [&] { floor.Replay(i); }); }},
        &t);
    v.Close();
    v.Unmount();
    l.Close();
    Report(lat.name, n, t[0], t[1]);
    lat.floorRate = n / t[2];
    g_latencies.push_back(lat);
}

// 2. Insert 65,535 thirteen-property records, flushing after each or once.
void Inserts(bool flush_each, const char* vol, const char* sql)
{
    std::mt19937 rng(2);
    std::vector<Activity> acts;
    for (int i = 0; i < kRecords; ++i) acts.push_back(MakeActivity(rng, rng() % 120));
    Latencies lat;
    lat.name = flush_each ? "2a insert 65535, flush each" : "2b insert 65535, flush once";

    std::unique_ptr<Floor> floor(flush_each ? new Floor(vol, "inserts.bare") : nullptr);
    Vantaro v(File(vol));
    v.Mount();
    v.Create();
    v.Open(kNextDate);
    if (floor) floor->Prepare();
    Lite l(File(sql));
    l.Open();
    l.Create();
    l.PrepareWrites();
    std::vector<double> t;
    if (flush_each) {
        Interleave(
            kRecords, 1000,
            {[&](int i) {
                 floor->Mark();
                 Timed(&lat.vantaro, [&] {
                     v.Write(acts[i], 0);
                     v.Flush();
                 });
             },
             [&](int i) { Timed(&lat.sqlite, [&] { l.Insert(acts[i]); }); },
             [&](int i) { Timed(&lat.floor, [&] { floor->Replay(i); }); }},
            &t);
        lat.floorRate = kRecords / t[2];
        g_latencies.push_back(lat);
    } else {
        l.Exec("BEGIN");
        Interleave(
            kRecords, 1000, {[&](int i) { v.Write(acts[i], 0); }, [&](int i) { l.Insert(acts[i]); }}, &t);
        auto t0 = Clock::now();
        v.Flush();
        auto t1 = Clock::now();
        l.Exec("COMMIT");
        t[0] += Seconds(t0, t1);
        t[1] += Seconds(t1, Clock::now());
    }
    v.Close();
    v.Unmount();
    l.Close();
    Report(lat.name, kRecords, t[0], t[1]);
}

// 3. Value seeks on each sort order, next-equal runs and a full read; the
// same keys for both engines. Each returns its seconds and counts its steps.
double SeeksVantaro(const char* vol, const std::vector<int>& contacts, const std::vector<int>& days, long* ops)
{
    const int seeks = static_cast<int>(days.size());
    long ops_v = 0;
    Vantaro v(File(vol));
    v.Mount();
    auto t0 = Clock::now();
    LPBYTE buf = nullptr;
    DWORD size = 0;
    WORD count = 0;
    v.Open(kNextDate);
    for (int i = 0; i < seeks; ++i, ++ops_v) {
        CEPROPVAL p = {};
        p.propid = kNextDate;
        p.val.dblVal = days[i];
        CeSeekDatabase(v.h, CEDB_SEEK_VALUEGREATEROREQUAL, reinterpret_cast<DWORD_PTR>(&p), nullptr);
    }
    v.Open(kLastFlag);
    for (int i = 0; i < seeks; ++i, ++ops_v) {
        CEPROPVAL p = {};
        p.propid = kLastFlag;
        p.val.boolVal = i % 2;
        CeSeekDatabase(v.h, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&p), nullptr);
    }
    v.Open(kContact);
    for (int i = 0; i < seeks; ++i) {
        CEPROPVAL p = {};
        p.propid = kContact;
        p.val.lVal = contacts[i];
        ++ops_v;
        if (!CeSeekDatabase(v.h, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&p), nullptr)) continue;
        if (i % 10) continue;  // every tenth seek walks its whole run
        while (CeSeekDatabase(v.h, CEDB_SEEK_VALUENEXTEQUAL, reinterpret_cast<DWORD_PTR>(&p), nullptr)) ++ops_v;
    }
    v.Open(kNextDate);
    while (CeReadRecordProps(v.h, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size)) ++ops_v;
    double vt = Seconds(t0, Clock::now());
    LocalFree(buf);
    v.Close();
    v.Unmount();
    *ops = ops_v;
    return vt;
}

double SeeksSqlite(const char* sql, const std::vector<int>& contacts, const std::vector<int>& days, long* ops)
{
    const int seeks = static_cast<int>(days.size());
    long ops_s = 0;
    Lite l(File(sql));
    l.Open();
    sqlite3_stmt* by_date = l.Prepare("SELECT oid FROM activity WHERE nextdate>=? ORDER BY nextdate, oid LIMIT 1");
    sqlite3_stmt* by_flag = l.Prepare("SELECT oid FROM activity WHERE lastflag=? ORDER BY oid LIMIT 1");
    sqlite3_stmt* by_contact = l.Prepare("SELECT oid FROM activity WHERE contact=? ORDER BY oid");
    sqlite3_stmt* all = l.Prepare("SELECT oid,contact,event,nextaction,notes,user1,user2,user3,lastflag,date,"
                                  "nextdate,remind,fileas,done FROM activity ORDER BY nextdate, oid");
    const auto t0 = Clock::now();
    for (int i = 0; i < seeks; ++i, ++ops_s) {
        sqlite3_bind_double(by_date, 1, days[i]);
        sqlite3_step(by_date);
        sqlite3_reset(by_date);
    }
    for (int i = 0; i < seeks; ++i, ++ops_s) {
        sqlite3_bind_int(by_flag, 1, i % 2);
        sqlite3_step(by_flag);
        sqlite3_reset(by_flag);
    }
    for (int i = 0; i < seeks; ++i) {
        sqlite3_bind_int(by_contact, 1, contacts[i]);
        ++ops_s;
        if (sqlite3_step(by_contact) == SQLITE_ROW && i % 10 == 0)
            while (sqlite3_step(by_contact) == SQLITE_ROW) ++ops_s;
        sqlite3_reset(by_contact);
    }
    while (sqlite3_step(all) == SQLITE_ROW) {
        for (int c = 0; c < 14; ++c) {
            int type = sqlite3_column_type(all, c);
            if (type == SQLITE_TEXT) sqlite3_column_text(all, c);
            else if (type == SQLITE_FLOAT) sqlite3_column_double(all, c);
            else sqlite3_column_int64(all, c);
        }
        ++ops_s;
    }
    double st = Seconds(t0, Clock::now());
    for (sqlite3_stmt* s : {by_date, by_flag, by_contact, all}) sqlite3_finalize(s);
    l.Close();
    *ops = ops_s;
    return st;
}

void Seeks(const char* vol, const char* sql)
{
    std::mt19937 rng(3);
    std::vector<int> contacts, days;
    for (int i = 0; i < 20000; ++i) {
        contacts.push_back(static_cast<int>(rng() % kContacts));
        days.push_back(40000 + static_cast<int>(rng() % 3000));
    }
    long ops_v = 0, ops_s = 0;
    const double vt = SeeksVantaro(vol, contacts, days, &ops_v);
    const double st = SeeksSqlite(sql, contacts, days, &ops_s);
    if (ops_v != ops_s) std::fprintf(stderr, "warning: %ld vs %ld seek operations\n", ops_v, ops_s);
    Report("3 value seeks, next-equal, full read", static_cast<double>(ops_v), vt, st * ops_v / ops_s);
}

// 4. Delete half the records and overwrite half of the rest, each flushed;
// then compaction and a cold mount. Flush-bound too, so beside its floor.
void Churn(const char* vol, const char* sql, double* vt_tail, double* st_tail)
{
    Latencies lat;
    lat.name = "4 delete/overwrite half, compact, mount";
    Floor floor(vol, "churn.bare");
    Vantaro v(File(vol));
    v.Mount();
    v.Open(0);
    floor.Prepare(true);
    std::vector<CEOID> oids;
    for (DWORD i = 0;; ++i) {
        CEOID oid = CeSeekDatabase(v.h, CEDB_SEEK_BEGINNING, i, nullptr);
        if (!oid) break;
        oids.push_back(oid);
    }
    Lite l(File(sql));
    l.Open();
    l.PrepareWrites();
    std::vector<long long> rows;
    sqlite3_stmt* q = l.Prepare("SELECT oid FROM activity ORDER BY oid");
    while (sqlite3_step(q) == SQLITE_ROW) rows.push_back(sqlite3_column_int64(q, 0));
    sqlite3_finalize(q);

    // Record i is deleted when i is even, overwritten when i % 4 == 1.
    std::vector<int> touched;
    for (int i = 0; i < static_cast<int>(std::min(oids.size(), rows.size())); ++i)
        if (i % 4 != 3) touched.push_back(i);
    std::mt19937 rng(4);
    std::vector<Activity> fresh;
    for (size_t i = 0; i < touched.size(); ++i) fresh.push_back(MakeActivity(rng, rng() % 120));

    std::vector<double> t;
    Interleave(
        static_cast<int>(touched.size()), 1000,
        {[&](int k) {
             floor.Mark();
             Timed(&lat.vantaro, [&] {
                 int i = touched[k];
                 if (i % 2 == 0) CeDeleteRecord(v.h, oids[i]);
                 else v.Write(fresh[k], oids[i]);
                 v.Flush();
             });
         },
         [&](int k) {
             Timed(&lat.sqlite, [&] {
                 int i = touched[k];
                 if (i % 2 == 0) {
                     sqlite3_bind_int64(l.del, 1, rows[i]);
                     Lite::Run(l.del);
                 } else {
                     Lite::Bind(l.update_all, fresh[k]);
                     sqlite3_bind_int64(l.update_all, 14, rows[i]);
                     Lite::Run(l.update_all);
                 }
             });
         },
         [&](int k) { Timed(&lat.floor, [&] { floor.Replay(k); }); }},
        &t);
    const double vt = t[0], st = t[1];
    lat.floorRate = touched.size() / t[2];
    g_latencies.push_back(lat);

    auto t0 = Clock::now();
    v.Close();
    v.Unmount();  // more than half the log is dead: compaction
    v.Mount();
    v.Open(kNextDate);
    *vt_tail = Seconds(t0, Clock::now());
    v.Close();
    v.Unmount();

    t0 = Clock::now();
    l.Finalize();
    l.Exec("VACUUM");
    l.Close();
    l.Open();
    q = l.Prepare("SELECT count(*) FROM activity");
    sqlite3_step(q);
    sqlite3_finalize(q);
    *st_tail = Seconds(t0, Clock::now());
    l.Close();
    Report(lat.name, static_cast<double>(touched.size()), vt + *vt_tail,
           st + *st_tail);
}

// 5. Enumerate 100 databases with their information.
void Enumerate()
{
    const int rounds = 2000;
    Vantaro v(File("enum.vol"));
    v.Mount();
    for (int i = 0; i < 100; ++i) {
        CEDBASEINFO info = {};
        info.dwFlags = CEDB_VALIDCREATE;
        std::wstring name = L"pfile-" + std::to_wstring(i);
        cedb::CopyFixedText(info.szDbaseName, CEDB_MAXDBASENAMELEN, name.c_str());
        info.wNumSortOrder = 1;
        info.rgSortSpecs[0].propid = 0x0014001F;
        CeCreateDatabaseEx(&v.vol, &info);
    }
    v.Flush();
    long ops = 0;
    auto t0 = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        HANDLE e = CeFindFirstDatabaseEx(&v.vol, 0);
        for (CEOID oid; (oid = CeFindNextDatabaseEx(e, &v.vol)) != 0; ++ops) {
            CEOIDINFO info;
            CeOidGetInfoEx(&v.vol, oid, &info);
        }
        CloseHandle(e);
    }
    double vt = Seconds(t0, Clock::now());
    v.Unmount();

    Lite l(File("enum.db"));
    l.Open();
    for (int i = 0; i < 100; ++i) {
        std::string sql = "CREATE TABLE \"pfile-" + std::to_string(i) + "\"(oid INTEGER PRIMARY KEY, text TEXT)";
        l.Exec(sql.c_str());
        sql = "CREATE INDEX \"pfile-" + std::to_string(i) + "-text\" ON \"pfile-" + std::to_string(i) + "\"(text)";
        l.Exec(sql.c_str());
    }
    sqlite3_stmt* q = l.Prepare("SELECT name, sql FROM sqlite_master WHERE type='table'");
    long ops_s = 0;
    t0 = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        while (sqlite3_step(q) == SQLITE_ROW) {
            sqlite3_column_text(q, 0);
            sqlite3_column_text(q, 1);
            ++ops_s;
        }
        sqlite3_reset(q);
    }
    double st = Seconds(t0, Clock::now());
    sqlite3_finalize(q);
    l.Close();
    Report("5 enumerate 100 databases", static_cast<double>(ops), vt, st * ops / ops_s);
}

// The flush-bound workloads against the limit itself: the same bytes written
// and synced with no engine (goal: p99 within 1.5x of it).
void PrintFloors()
{
    std::printf("%-34s %22s %22s %22s %10s\n", "flush latency (us, p50 / p99)", "vantaro", "bare write+sync",
                "sqlite", "p99/bare");
    for (const Latencies& l : g_latencies) {
        const double p99v = Percentile(l.vantaro, 0.99), p99b = Percentile(l.floor, 0.99);
        std::printf("%-34s %10.0f / %9.0f %10.0f / %9.0f %10.0f / %9.0f %9.2fx %s\n", l.name.c_str(),
                    Percentile(l.vantaro, 0.5), p99v, Percentile(l.floor, 0.5), p99b, Percentile(l.sqlite, 0.5),
                    Percentile(l.sqlite, 0.99), p99v / p99b, p99v <= 1.5 * p99b ? "within 1.5x" : "OVER 1.5x");
        std::printf("%-34s bare floor %.0f ops/s\n", "", l.floorRate);
    }
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/cedb_bench_XXXXXX";
    const char* tmp = getenv("CEDB_BENCH_DIR");
    std::string base = tmp ? std::string(tmp) + "/cedb_bench_XXXXXX" : pattern;
    if (!mkdtemp(&base[0])) {
        std::perror("mkdtemp");
        return 1;
    }
    g_dir = base;
    setenv("VANTARO_DEVICE_DIR", g_dir.c_str(), 1);
    std::fprintf(stderr, "property database service vs SQLite %s in %s\n", sqlite3_libversion(), g_dir.c_str());

    // CEDB_BENCH_ONLY=2b runs the inserts without flushing alone, =4 the
    // churn and its compaction; for profiling.
    const char* only = getenv("CEDB_BENCH_ONLY");
    if (only && std::string(only) == "2b") {
        Inserts(false, "once.vol", "once.db");
        std::printf("%s: %.0f vs %.0f ops/s, ratio %.2f\n", g_rows[0].name.c_str(), g_rows[0].vantaro, g_rows[0].sqlite,
                    g_rows[0].vantaro / g_rows[0].sqlite);
        RemoveAll(File("once.vol"));
        RemoveAll(File("once.db"));
        rmdir(g_dir.c_str());
        return 0;
    }
    double tail_v, tail_s;
    if (only && std::string(only) == "4") {  // the churn on an unflushed fill, and its compaction
        Inserts(false, "each.vol", "each.db");
        Churn("each.vol", "each.db", &tail_v, &tail_s);
        PrintFloors();
        std::printf("compaction and cold mount after workload 4: vantaro %.3f s, sqlite (vacuum, reopen) %.3f s\n",
                    tail_v, tail_s);
        for (const char* f : {"each.vol", "each.db", "once.vol", "once.db", "device.vol"}) RemoveAll(File(f));
        rmdir(g_dir.c_str());
        return 0;
    }
    NotesEditing();
    Inserts(true, "each.vol", "each.db");
    Inserts(false, "once.vol", "once.db");
    Seeks("once.vol", "once.db");
    Churn("each.vol", "each.db", &tail_v, &tail_s);
    Enumerate();

    // Every workload but the flush-bound ones aims at 1.5x SQLite's rate.
    std::printf("%-42s %14s %14s %8s\n", "workload", "vantaro ops/s", "sqlite ops/s", "ratio");
    double slowest = 1e300;
    for (const Row& r : g_rows) {
        const double ratio = r.vantaro / r.sqlite;
        const bool flushBound = std::any_of(g_latencies.begin(), g_latencies.end(),
                                            [&](const Latencies& l) { return l.name == r.name; });
        if (!flushBound) slowest = std::min(slowest, ratio);
        std::printf("%-42s %14.0f %14.0f %8.2f %s\n", r.name.c_str(), r.vantaro, r.sqlite, ratio,
                    flushBound ? "(flush-bound: see the floor)" : ratio >= 1.5 ? "within 1.5x" : "UNDER 1.5x");
    }
    PrintFloors();
    std::printf("compaction and cold mount after workload 4: vantaro %.3f s, sqlite (vacuum, reopen) %.3f s\n",
                tail_v, tail_s);
    std::printf("slowest ratio of the workloads not bound by flushes: %.2f\n", slowest);

    for (const char* f : {"notes.vol", "notes.db", "each.vol", "each.db", "once.vol", "once.db", "enum.vol", "enum.db",
                          "device.vol"})
        RemoveAll(File(f));
    rmdir(g_dir.c_str());
    return 0;
}
