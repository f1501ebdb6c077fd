// Vantaro's database workload on the property database service and on
// SQLite (WAL, synchronous=FULL, exclusive locking, prepared statements, one
// autocommit transaction per write, one index per sort order).
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

#include "platform/cedb/fixed_text.h"
#include "platform/cedb/windbase.h"

namespace {

using Clock = std::chrono::steady_clock;

const CEPROPID kContact = 0x00150003, kEvent = 0x0016001F, kNextAction = 0x0017001F, kNotes = 0x0018001F,
               kUser1 = 0x0019001F, kUser2 = 0x001A001F, kUser3 = 0x001B001F, kLastFlag = 0x001D000B,
               kDate = 0x001E0005, kNextDate = 0x001F0005, kRemind = 0x00200002, kFileAs = 0x0020001F,
               kDone = 0x00210002;
const int kRecords = 65535;
const int kContacts = 1000;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

struct Activity {
    int contact;
    std::wstring event, next, notes, u1, u2, u3, fileas;
    bool last;
    double date, nextdate;
    int remind, done;
};

std::wstring Text(std::mt19937& rng, size_t len)
{
    static const wchar_t kChars[] = L"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::wstring s;
    for (size_t i = 0; i < len; ++i) s.push_back(kChars[rng() % (sizeof kChars / sizeof kChars[0] - 1)]);
    return s;
}

Activity MakeActivity(std::mt19937& rng, size_t notes)
{
    Activity a;
    a.contact = static_cast<int>(rng() % kContacts);
    a.event = Text(rng, 8);
    a.next = Text(rng, 10);
    a.notes = Text(rng, notes);
    a.u1 = Text(rng, 6);
    a.u2 = Text(rng, 6);
    a.u3 = Text(rng, 6);
    a.fileas = Text(rng, 16);
    a.last = rng() % 20 == 0;
    a.date = 40000 + rng() % 3000 + 0.25;
    a.nextdate = 40000 + rng() % 3000 + 0.5;
    a.remind = static_cast<int>(rng() % 14);
    a.done = static_cast<int>(rng() % 2);
    return a;
}

std::string Utf8(const std::wstring& w) { return std::string(w.begin(), w.end()); }  // ASCII only

// --- the database service ---------------------------------------------

struct Vantaro {
    CEGUID vol;
    std::wstring path;
    HANDLE h = INVALID_HANDLE_VALUE;
    CEOID db = 0;

    explicit Vantaro(const std::string& file) : path(file.begin(), file.end()) {}
    void Mount() { CeMountDBVol(&vol, path.c_str(), OPEN_ALWAYS); }
    void Unmount() { CeUnmountDBVol(&vol); }
    void Create()
    {
        CEDBASEINFO info = {};
        info.dwFlags = CEDB_VALIDCREATE;
        cedb::CopyFixedText(info.szDbaseName, CEDB_MAXDBASENAMELEN, L"ActivityDatabase");
        info.wNumSortOrder = 3;
        info.rgSortSpecs[0].propid = kNextDate;
        info.rgSortSpecs[1].propid = kContact;
        info.rgSortSpecs[2].propid = kLastFlag;
        db = CeCreateDatabaseEx(&vol, &info);
    }
    void Open(CEPROPID sort)
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        CEOID oid = 0;
        h = CeOpenDatabaseEx(&vol, &oid, L"ActivityDatabase", sort, CEDB_AUTOINCREMENT, nullptr);
    }
    void Close()
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
    CEOID Write(const Activity& a, CEOID oid)
    {
        CEPROPVAL v[13] = {};
        auto str = [&](int i, CEPROPID id, const std::wstring& s) {
            v[i].propid = id;
            v[i].val.lpwstr = const_cast<LPWSTR>(s.c_str());
        };
        v[0].propid = kContact; v[0].val.lVal = a.contact;
        str(1, kEvent, a.event); str(2, kNextAction, a.next); str(3, kNotes, a.notes);
        str(4, kUser1, a.u1); str(5, kUser2, a.u2); str(6, kUser3, a.u3);
        v[7].propid = kLastFlag; v[7].val.boolVal = a.last;
        v[8].propid = kDate; v[8].val.dblVal = a.date;
        v[9].propid = kNextDate; v[9].val.dblVal = a.nextdate;
        v[10].propid = kRemind; v[10].val.iVal = static_cast<short>(a.remind);
        str(11, kFileAs, a.fileas);
        v[12].propid = kDone; v[12].val.iVal = static_cast<short>(a.done);
        return CeWriteRecordProps(h, oid, 13, v);
    }
    void Flush() { CeFlushDBVol(&vol); }
};

// --- SQLite ----------------------------------------------------------------

struct Lite {
    sqlite3* db = nullptr;
    std::string path;
    sqlite3_stmt *insert = nullptr, *update_all = nullptr, *update_notes = nullptr, *del = nullptr;

    explicit Lite(const std::string& file) : path(file) {}
    void Exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    sqlite3_stmt* Prepare(const char* sql)
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        return s;
    }
    void Open()
    {
        sqlite3_open(path.c_str(), &db);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA locking_mode=EXCLUSIVE");
    }
    void Create()
    {
        Exec("CREATE TABLE activity(oid INTEGER PRIMARY KEY, contact INTEGER, event TEXT, nextaction TEXT, "
             "notes TEXT, user1 TEXT, user2 TEXT, user3 TEXT, lastflag INTEGER, date REAL, nextdate REAL, "
             "remind INTEGER, fileas TEXT, done INTEGER)");
        Exec("CREATE INDEX by_nextdate ON activity(nextdate)");
        Exec("CREATE INDEX by_contact ON activity(contact)");
        Exec("CREATE INDEX by_lastflag ON activity(lastflag)");
    }
    void PrepareWrites()
    {
        insert = Prepare("INSERT INTO activity(contact,event,nextaction,notes,user1,user2,user3,lastflag,date,"
                         "nextdate,remind,fileas,done) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
        update_all = Prepare("UPDATE activity SET contact=?,event=?,nextaction=?,notes=?,user1=?,user2=?,user3=?,"
                             "lastflag=?,date=?,nextdate=?,remind=?,fileas=?,done=? WHERE oid=?");
        update_notes = Prepare("UPDATE activity SET notes=? WHERE oid=?");
        del = Prepare("DELETE FROM activity WHERE oid=?");
    }
    void Finalize()
    {
        for (sqlite3_stmt* s : {insert, update_all, update_notes, del}) sqlite3_finalize(s);
        insert = update_all = update_notes = del = nullptr;
    }
    void Close()
    {
        Finalize();
        sqlite3_close(db);
        db = nullptr;
    }
    static void Bind(sqlite3_stmt* s, const Activity& a)
    {
        sqlite3_bind_int(s, 1, a.contact);
        std::string t[7] = {Utf8(a.event), Utf8(a.next), Utf8(a.notes), Utf8(a.u1), Utf8(a.u2), Utf8(a.u3), Utf8(a.fileas)};
        for (int i = 0; i < 6; ++i) sqlite3_bind_text(s, 2 + i, t[i].c_str(), static_cast<int>(t[i].size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 8, a.last);
        sqlite3_bind_double(s, 9, a.date);
        sqlite3_bind_double(s, 10, a.nextdate);
        sqlite3_bind_int(s, 11, a.remind);
        sqlite3_bind_text(s, 12, t[6].c_str(), static_cast<int>(t[6].size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 13, a.done);
    }
    static void Run(sqlite3_stmt* s)
    {
        if (sqlite3_step(s) != SQLITE_DONE) std::fprintf(stderr, "sqlite step failed\n");
        sqlite3_reset(s);
    }
    long long Insert(const Activity& a)
    {
        Bind(insert, a);
        Run(insert);
        return sqlite3_last_insert_rowid(db);
    }
};

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

std::string g_dir;
std::string File(const char* name) { return g_dir + "/" + name; }

void RemoveAll(const std::string& p)
{
    for (const char* suffix : {"", "-wal", "-shm", ".compact"}) unlink((p + suffix).c_str());
}

// The machine is shared, so its speed drifts: the write workloads run the
// two engines alternately in blocks and add up each one's time.
void Interleave(int n, int block, const std::function<void(int)>& a, const std::function<void(int)>& b, double* ta,
                double* tb)
{
    for (int start = 0; start < n; start += block) {
        const int end = std::min(n, start + block);
        auto t0 = Clock::now();
        for (int i = start; i < end; ++i) a(i);
        auto t1 = Clock::now();
        for (int i = start; i < end; ++i) b(i);
        *ta += Seconds(t0, t1);
        *tb += Seconds(t1, Clock::now());
    }
}

// 1. Rewrite the notes of one 1 KB record and flush, many times.
void NotesEditing(double* p50v, double* p99v, double* p50s, double* p99s)
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
    std::vector<double> lat_v, lat_s;

    Vantaro v(File("notes.vol"));
    v.Mount();
    v.Create();
    v.Open(kNextDate);
    CEOID oid = v.Write(a, 0);
    v.Flush();
    Lite l(File("notes.db"));
    l.Open();
    l.Create();
    l.PrepareWrites();
    long long row = l.Insert(a);

    double vt = 0, st = 0;
    Interleave(
        n, 500,
        [&](int i) {
            auto s = Clock::now();
            CEPROPVAL p = {};
            p.propid = kNotes;
            p.val.lpwstr = const_cast<LPWSTR>(notes[i % 64].c_str());
            CeWriteRecordProps(v.h, oid, 1, &p);
            v.Flush();
            lat_v.push_back(Seconds(s, Clock::now()) * 1e6);
        },
        [&](int i) {
            auto s = Clock::now();
            const std::string& t = notes8[i % 64];
            sqlite3_bind_text(l.update_notes, 1, t.c_str(), static_cast<int>(t.size()), SQLITE_STATIC);
            sqlite3_bind_int64(l.update_notes, 2, row);
            Lite::Run(l.update_notes);
            lat_s.push_back(Seconds(s, Clock::now()) * 1e6);
        },
        &vt, &st);
    v.Close();
    v.Unmount();
    l.Close();
    Report("1 notes editing (write+flush)", n, vt, st);
    *p50v = Percentile(lat_v, 0.5);
    *p99v = Percentile(lat_v, 0.99);
    *p50s = Percentile(lat_s, 0.5);
    *p99s = Percentile(lat_s, 0.99);
}

// 2. Insert 65,535 thirteen-property records, flushing after each or once.
void Inserts(bool flush_each, const char* vol, const char* sql)
{
    std::mt19937 rng(2);
    std::vector<Activity> acts;
    for (int i = 0; i < kRecords; ++i) acts.push_back(MakeActivity(rng, rng() % 120));

    Vantaro v(File(vol));
    v.Mount();
    v.Create();
    v.Open(kNextDate);
    Lite l(File(sql));
    l.Open();
    l.Create();
    l.PrepareWrites();
    double vt = 0, st = 0;
    if (flush_each) {
        Interleave(
            kRecords, 1000,
            [&](int i) {
                v.Write(acts[i], 0);
                v.Flush();
            },
            [&](int i) { l.Insert(acts[i]); }, &vt, &st);
    } else {
        l.Exec("BEGIN");
        Interleave(
            kRecords, 1000, [&](int i) { v.Write(acts[i], 0); }, [&](int i) { l.Insert(acts[i]); }, &vt, &st);
        auto t0 = Clock::now();
        v.Flush();
        auto t1 = Clock::now();
        l.Exec("COMMIT");
        vt += Seconds(t0, t1);
        st += Seconds(t1, Clock::now());
    }
    v.Close();
    v.Unmount();
    l.Close();
    Report(flush_each ? "2a insert 65535, flush each" : "2b insert 65535, flush once", kRecords, vt, st);
}

// 3. Value seeks on each sort order, next-equal runs and a full read.
void Seeks(const char* vol, const char* sql)
{
    const int seeks = 20000;
    std::mt19937 rng(3);
    std::vector<int> contacts, days;
    for (int i = 0; i < seeks; ++i) {
        contacts.push_back(static_cast<int>(rng() % kContacts));
        days.push_back(40000 + static_cast<int>(rng() % 3000));
    }
    long ops_v = 0, ops_s = 0;

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

    Lite l(File(sql));
    l.Open();
    sqlite3_stmt* by_date = l.Prepare("SELECT oid FROM activity WHERE nextdate>=? ORDER BY nextdate, oid LIMIT 1");
    sqlite3_stmt* by_flag = l.Prepare("SELECT oid FROM activity WHERE lastflag=? ORDER BY oid LIMIT 1");
    sqlite3_stmt* by_contact = l.Prepare("SELECT oid FROM activity WHERE contact=? ORDER BY oid");
    sqlite3_stmt* all = l.Prepare("SELECT oid,contact,event,nextaction,notes,user1,user2,user3,lastflag,date,"
                                  "nextdate,remind,fileas,done FROM activity ORDER BY nextdate, oid");
    t0 = Clock::now();
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
    if (ops_v != ops_s) std::fprintf(stderr, "warning: %ld vs %ld seek operations\n", ops_v, ops_s);
    Report("3 value seeks, next-equal, full read", static_cast<double>(ops_v), vt, st * ops_v / ops_s);
}

// 4. Delete half the records and overwrite half of the rest, each flushed;
// then compaction and a cold mount.
void Churn(const char* vol, const char* sql, double* vt_tail, double* st_tail)
{
    Vantaro v(File(vol));
    v.Mount();
    v.Open(0);
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

    double vt = 0, st = 0;
    Interleave(
        static_cast<int>(touched.size()), 1000,
        [&](int k) {
            int i = touched[k];
            if (i % 2 == 0) CeDeleteRecord(v.h, oids[i]);
            else v.Write(fresh[k], oids[i]);
            v.Flush();
        },
        [&](int k) {
            int i = touched[k];
            if (i % 2 == 0) {
                sqlite3_bind_int64(l.del, 1, rows[i]);
                Lite::Run(l.del);
            } else {
                Lite::Bind(l.update_all, fresh[k]);
                sqlite3_bind_int64(l.update_all, 14, rows[i]);
                Lite::Run(l.update_all);
            }
        },
        &vt, &st);

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
    Report("4 delete/overwrite half, compact, mount", static_cast<double>(touched.size()), vt + *vt_tail,
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
    double p50v, p99v, p50s, p99s, tail_v, tail_s;
    if (only && std::string(only) == "4") {  // the churn on an unflushed fill, and its compaction
        Inserts(false, "each.vol", "each.db");
        Churn("each.vol", "each.db", &tail_v, &tail_s);
        std::printf("compaction and cold mount after workload 4: vantaro %.3f s, sqlite (vacuum, reopen) %.3f s\n",
                    tail_v, tail_s);
        for (const char* f : {"each.vol", "each.db", "once.vol", "once.db", "device.vol"}) RemoveAll(File(f));
        rmdir(g_dir.c_str());
        return 0;
    }
    NotesEditing(&p50v, &p99v, &p50s, &p99s);
    Inserts(true, "each.vol", "each.db");
    Inserts(false, "once.vol", "once.db");
    Seeks("once.vol", "once.db");
    Churn("each.vol", "each.db", &tail_v, &tail_s);
    Enumerate();

    std::printf("%-42s %14s %14s %8s\n", "workload", "vantaro ops/s", "sqlite ops/s", "ratio");
    double slowest = 1e300;
    for (const Row& r : g_rows) {
        double ratio = r.vantaro / r.sqlite;
        slowest = std::min(slowest, ratio);
        std::printf("%-42s %14.0f %14.0f %8.2f\n", r.name.c_str(), r.vantaro, r.sqlite, ratio);
    }
    std::printf("notes editing flush latency: vantaro p50 %.0f us, p99 %.0f us; sqlite p50 %.0f us, p99 %.0f us\n",
                p50v, p99v, p50s, p99s);
    std::printf("compaction and cold mount after workload 4: vantaro %.3f s, sqlite (vacuum, reopen) %.3f s\n",
                tail_v, tail_s);
    std::printf("slowest ratio: %.2f\n", slowest);

    for (const char* f : {"notes.vol", "notes.db", "each.vol", "each.db", "once.vol", "once.db", "enum.vol", "enum.db",
                          "device.vol"})
        RemoveAll(File(f));
    rmdir(g_dir.c_str());
    return 0;
}
