// The two engines behind the same small interface: the property database
// service through its API, and SQLite (WAL, synchronous=FULL, exclusive
// locking, prepared statements, one index per sort order).
#pragma once
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/cedb_vs_sqlite/activity_workload.h"
#include "platform/cedb/fixed_text.h"
#include "platform/cedb/windbase.h"

namespace bench {

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

}  // namespace bench
