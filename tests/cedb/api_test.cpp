// The platform API as program code uses it: seeks, sort orders, reads and
// writes, counts, names, error codes, enumeration, notifications, the object
// store and ownership of a volume file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/cedb/core/volume.h"
#include "platform/cedb/fixed_text.h"
#include "platform/cedb/object_store_bulk.h"
#include "platform/cedb/windbase.h"
#include "tests/cedb/api_support.h"

namespace {

using cedb_test::JoinPath;
using cedb_test::MessageWindow;

const CEPROPID kNum = 0x00010003;    // I4
const CEPROPID kNum2 = 0x00020003;   // I4
const CEPROPID kText = 0x0003001F;   // string
const CEPROPID kText2 = 0x0004001F;  // string
const CEPROPID kFlag = 0x0005000B;   // BOOL
const CEPROPID kReal = 0x00060005;   // R8
const CEPROPID kShort = 0x00070002;  // I2
const CEPROPID kBlob = 0x00080041;    // BLOB

std::wstring g_device_dir;

// The call fails and sets the error `code` (cleared before the call).
#define EXPECT_FAILS(code, failed)                                                      \
    do {                                                                                \
        SetLastError(0);                                                                \
        const bool fails = (failed);                                                    \
        const DWORD error = GetLastError();                                             \
        EXPECT_TRUE(fails && error == static_cast<DWORD>(code)) << #failed << ": error " << error; \
    } while (0)

CEPROPVAL Val(CEPROPID id, WORD flags = 0)
{
    CEPROPVAL p = {};
    p.propid = id;
    p.wFlags = flags;
    return p;
}
CEPROPVAL I4(CEPROPID id, LONG v)
{
    CEPROPVAL p = Val(id);
    p.val.lVal = v;
    return p;
}
CEPROPVAL Str(CEPROPID id, const wchar_t* s)
{
    CEPROPVAL p = Val(id);
    p.val.lpwstr = const_cast<LPWSTR>(s);
    return p;
}
CEPROPVAL Deleted(CEPROPID id) { return Val(id, CEDB_PROPDELETE); }

struct Read {
    CEOID oid = 0;
    std::vector<CEPROPVAL> props;
    std::vector<std::wstring> texts;  // copies of strings and blobs, the buffer is released
    const CEPROPVAL* Find(CEPROPID id) const
    {
        for (const CEPROPVAL& p : props)
            if (p.propid == id && !(p.wFlags & CEDB_PROPNOTFOUND)) return &p;
        return nullptr;
    }
    std::wstring Text(CEPROPID id) const
    {
        for (size_t i = 0; i < props.size(); ++i)
            if (props[i].propid == id && !(props[i].wFlags & CEDB_PROPNOTFOUND)) return texts[i];
        return L"<none>";
    }
};

class ApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = cedb_test::NewTempFolder();
        path_ = JoinPath(folder_, L"t.vol");
        ASSERT_TRUE(CeMountDBVol(&vol_, path_.c_str(), OPEN_ALWAYS));
    }
    void TearDown() override
    {
        for (HANDLE h : open_) CloseHandle(h);
        CeUnmountDBVol(&vol_);
    }

    CEOID MakeDb(const wchar_t* name, std::vector<SORTORDERSPEC> orders, DWORD type = 0)
    {
        CEDBASEINFO info = {};
        info.dwFlags = CEDB_VALIDCREATE;
        cedb::CopyFixedText(info.szDbaseName, CEDB_MAXDBASENAMELEN, name);
        info.dwDbaseType = type;
        info.wNumSortOrder = static_cast<WORD>(orders.size());
        for (size_t i = 0; i < orders.size() && i < CEDB_MAXSORTORDER; ++i) info.rgSortSpecs[i] = orders[i];
        return CeCreateDatabaseEx(&vol_, &info);
    }
    HANDLE Open(const wchar_t* name, CEPROPID sort, DWORD flags = CEDB_AUTOINCREMENT, CENOTIFYREQUEST* req = nullptr)
    {
        CEOID oid = 0;
        HANDLE h = CeOpenDatabaseEx(&vol_, &oid, name, sort, flags, req);
        if (h != INVALID_HANDLE_VALUE) open_.push_back(h);
        return h;
    }
    void Close(HANDLE h)
    {
        open_.erase(std::remove(open_.begin(), open_.end(), h), open_.end());
        EXPECT_TRUE(CloseHandle(h));
    }
    CEOID Put(HANDLE h, std::vector<CEPROPVAL> props, CEOID oid = 0)
    {
        return CeWriteRecordProps(h, oid, static_cast<WORD>(props.size()), props.data());
    }
    static Read ReadCurrent(HANDLE h)
    {
        Read r;
        WORD count = 0;
        LPBYTE buf = nullptr;
        DWORD size = 0;
        r.oid = CeReadRecordProps(h, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size);
        if (r.oid) {
            const CEPROPVAL* v = reinterpret_cast<const CEPROPVAL*>(buf);
            r.props.assign(v, v + count);
            for (const CEPROPVAL& p : r.props)
                r.texts.push_back(TypeFromPropID(p.propid) == CEVT_LPWSTR ? std::wstring(p.val.lpwstr)
                                  : TypeFromPropID(p.propid) == CEVT_BLOB
                                      ? std::wstring(p.val.blob.lpb, p.val.blob.lpb + p.val.blob.dwCount)
                                      : L"");
        }
        LocalFree(buf);
        return r;
    }
    // Record ids from the start in the handle's sort order.
    static std::vector<CEOID> Order(HANDLE h)
    {
        std::vector<CEOID> out;
        if (!CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, nullptr)) return out;
        for (Read r = ReadCurrent(h); r.oid; r = ReadCurrent(h)) out.push_back(r.oid);
        return out;
    }

    std::wstring folder_, path_;
    CEGUID vol_;
    std::vector<HANDLE> open_;
};

// --- volumes ---------------------------------------------------------------

TEST_F(ApiTest, MountModesAndErrors)
{
    CEGUID g;
    EXPECT_FAILS(ERROR_FILE_NOT_FOUND, !CeMountDBVol(&g, JoinPath(folder_, L"missing.vol").c_str(), OPEN_EXISTING));
    EXPECT_FAILS(ERROR_FILE_EXISTS, !CeMountDBVol(&g, path_.c_str(), CREATE_NEW));
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, !CeMountDBVol(&g, path_.c_str(), 99));
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, !CeMountDBVol(&g, L"", OPEN_ALWAYS));

    // A second mount in this process, however the path is spelled, shares
    // the volume until both unmount.
    ASSERT_TRUE(CeMountDBVol(&g, JoinPath(JoinPath(folder_, L"."), L"t.vol").c_str(), OPEN_EXISTING));
    EXPECT_EQ(0, std::memcmp(&g, &vol_, sizeof g));
    EXPECT_TRUE(CeUnmountDBVol(&g));
    // A file of the same name in another folder is another volume.
    const std::wstring other = JoinPath(cedb_test::NewTempFolder(), L"t.vol");
    ASSERT_TRUE(CeMountDBVol(&g, other.c_str(), OPEN_ALWAYS));
    EXPECT_NE(0, std::memcmp(&g, &vol_, sizeof g));
    EXPECT_TRUE(CeUnmountDBVol(&g));
    // Identifiers of no mounted volume name nothing, nor does one unmounted.
    ASSERT_TRUE(MakeDb(L"Db", {}));
    CEGUID unmounted = vol_;
    ASSERT_TRUE(CeUnmountDBVol(&unmounted));
    for (DWORD slot : std::initializer_list<DWORD>{0, 2, 999, static_cast<DWORD>(vol_.Data1)}) {
        CEGUID bogus = vol_;
        bogus.Data1 = slot;
        CEOID oid = 0;
        CEDBASEINFO info = {};
        info.dwFlags = CEDB_VALIDCREATE;
        EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeOpenDatabaseEx(&bogus, &oid, L"Db", 0, 0, nullptr) == INVALID_HANDLE_VALUE);
        EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeCreateDatabaseEx(&bogus, &info) == 0u);
    }
    // Either way of starting over leaves an empty volume that takes writes.
    for (DWORD startOver : {DWORD{CREATE_ALWAYS}, DWORD{TRUNCATE_EXISTING}}) {
        ASSERT_TRUE(CeMountDBVol(&vol_, path_.c_str(), startOver));
        EXPECT_FAILS(ERROR_FILE_NOT_FOUND, Open(L"Db", 0) == INVALID_HANDLE_VALUE);
        ASSERT_TRUE(MakeDb(L"Db", {}));
        ASSERT_TRUE(CeUnmountDBVol(&vol_));
    }
    ASSERT_TRUE(CeMountDBVol(&vol_, path_.c_str(), OPEN_EXISTING));

    CEGUID invalid;
    CREATE_INVALIDGUID(&invalid);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, !CeFlushDBVol(&invalid));
}

TEST_F(ApiTest, AnotherProcessGetsASharingViolation)
{
    EXPECT_EQ(ERROR_SHARING_VIOLATION, cedb_test::RunSelf(L"--mount-child " + path_));
    CeUnmountDBVol(&vol_);
    EXPECT_EQ(0, cedb_test::RunSelf(L"--mount-child " + path_));
    ASSERT_TRUE(CeMountDBVol(&vol_, path_.c_str(), OPEN_EXISTING));
}

TEST_F(ApiTest, FlushedChangesSurviveARemountWithTheirObjectIds)
{
    ASSERT_TRUE(MakeDb(L"Notes", {{kNum, 0}}));
    HANDLE h = Open(L"Notes", kNum);
    CEOID a = Put(h, {I4(kNum, 1), Str(kText, L"one")});
    CEOID b = Put(h, {I4(kNum, 2)});
    CEOID c = Put(h, {I4(kNum, 3)});
    ASSERT_TRUE(a && b && c);
    ASSERT_TRUE(CeDeleteRecord(h, c));
    ASSERT_TRUE(CeFlushDBVol(&vol_));
    Close(h);
    ASSERT_TRUE(CeUnmountDBVol(&vol_));
    ASSERT_TRUE(CeMountDBVol(&vol_, path_.c_str(), OPEN_EXISTING));
    h = Open(L"Notes", kNum);
    ASSERT_EQ(a, CeSeekDatabase(h, CEDB_SEEK_CEOID, a, nullptr));
    EXPECT_EQ(L"one", ReadCurrent(h).Text(kText));
    EXPECT_EQ((std::vector<CEOID>{a, b}), Order(h));
    CEOID d = Put(h, {I4(kNum, 4)});
    EXPECT_GT(d, c);  // a deleted id is not handed out again
}

// --- databases -----------------------------------------------------------

TEST_F(ApiTest, NamesSortOrderCountsAndErrorCodes)
{
    EXPECT_TRUE(MakeDb(L"abcdefghijklmnopqrstuvwxyz01234", {}));  // 31 characters

    CEDBASEINFO info = {};
    info.dwFlags = CEDB_VALIDCREATE;
    for (int i = 0; i < CEDB_MAXDBASENAMELEN; ++i) info.szDbaseName[i] = L'x';  // 32, unterminated
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeCreateDatabaseEx(&vol_, &info) == 0u);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, Open(L"abcdefghijklmnopqrstuvwxyz012345", 0) == INVALID_HANDLE_VALUE);

    EXPECT_FAILS(ERROR_ALREADY_EXISTS, MakeDb(L"abcdefghijklmnopqrstuvwxyz01234", {}) == 0u);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, MakeDb(L"five", {{kNum, 0}, {kNum2, 0}, {kText, 0}, {kText2, 0}, {kFlag, 0}}) == 0u);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, MakeDb(L"blobsort", {{kBlob, 0}}) == 0u);
    EXPECT_TRUE(MakeDb(L"four", {{kNum, 0}, {kNum2, 0}, {kText, 0}, {kText2, 0}}));

    // The extended form gives a sort order one key or several, never none.
    CEDBASEINFOEX ex = {};
    ex.wVersion = CEDBASEINFOEX_VERSION;
    ex.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    cedb::CopyFixedText(ex.szDbaseName, CEDB_MAXDBASENAMELEN, L"two keys");
    ex.wNumSortOrder = 2;
    ex.rgSortSpecs[1] = SORTORDERSPECEX{SORTORDERSPECEX_VERSION, 0, 0, 0, {kNum}, {0}};
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeCreateDatabaseEx2(&vol_, &ex) == 0u);
    ex.rgSortSpecs[0] = SORTORDERSPECEX{SORTORDERSPECEX_VERSION, 2, 0, 0, {kText, kNum}, {0, CEDB_SORT_DESCENDING}};
    ex.rgSortSpecs[1].wNumProps = 1;
    const CEOID two = CeCreateDatabaseEx2(&vol_, &ex);
    ASSERT_TRUE(two);
    CEOIDINFOEX back = {};
    back.wVersion = CEOIDINFOEX_VERSION;
    ASSERT_TRUE(CeOidGetInfoEx2(&vol_, two, &back));
    EXPECT_EQ(kNum, back.infDatabase.rgSortSpecs[0].rgPropID[1]);
    EXPECT_EQ(static_cast<DWORD>(CEDB_SORT_DESCENDING), back.infDatabase.rgSortSpecs[0].rgdwFlags[1]);
}

TEST_F(ApiTest, OpenByNameOrIdOnASortPropertyOnly)
{
    CEOID db = MakeDb(L"Acts", {{kNum, 0}, {kText, 0}});
    ASSERT_TRUE(db);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, Open(L"Acts", kNum2) == INVALID_HANDLE_VALUE);

    CEOID oid = 0;
    HANDLE h = CeOpenDatabaseEx(&vol_, &oid, L"Acts", kText, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(db, oid);
    CEOID b = Put(h, {Str(kText, L"b"), I4(kNum, 1)});
    CEOID a = Put(h, {Str(kText, L"a"), I4(kNum, 2)});
    CloseHandle(h);

    // A new handle starts on the first record of its sort order.
    oid = db;
    h = CeOpenDatabaseEx(&vol_, &oid, nullptr, kText, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(a, ReadCurrent(h).oid);
    EXPECT_EQ(a, ReadCurrent(h).oid);  // without CEDB_AUTOINCREMENT reads stay put
    CloseHandle(h);
    h = Open(L"Acts", kNum);
    EXPECT_EQ(b, ReadCurrent(h).oid);
    EXPECT_EQ(a, ReadCurrent(h).oid);
    EXPECT_FAILS(ERROR_NO_MORE_ITEMS, ReadCurrent(h).oid == 0u);
    h = Open(L"Acts", 0);  // no sort property: creation order
    EXPECT_EQ((std::vector<CEOID>{b, a}), Order(h));
    // A handle whose record is deleted moves on to the next.
    ASSERT_EQ(b, CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, nullptr));
    ASSERT_TRUE(CeDeleteRecord(h, b));
    EXPECT_EQ(a, ReadCurrent(h).oid);
}

TEST_F(ApiTest, SortOrdersAscendingDescendingCaseInsensitiveAndUnknownFirst)
{
    ASSERT_TRUE(MakeDb(L"S", {{kNum, 0},
                             {kNum2, CEDB_SORT_DESCENDING | CEDB_SORT_UNKNOWNFIRST},
                             {kText, CEDB_SORT_CASEINSENSITIVE},
                             {kText2, 0}}));
    HANDLE w = Open(L"S", 0);
    CEOID r1 = Put(w, {I4(kNum, 5), I4(kNum2, 5), Str(kText, L"beta"), Str(kText2, L"beta")});
    CEOID r2 = Put(w, {I4(kNum, 1), Str(kText, L"Alpha"), Str(kText2, L"Alpha")});
    CEOID r3 = Put(w, {I4(kNum2, 9), Str(kText, L"alpha"), Str(kText2, L"alpha")});
    CEOID r4 = Put(w, {I4(kNum, 5), I4(kNum2, 1), Str(kText, L"BETA"), Str(kText2, L"Beta")});

    EXPECT_EQ((std::vector<CEOID>{r2, r1, r4, r3}), Order(Open(L"S", kNum)));  // missing last, ties stable
    EXPECT_EQ((std::vector<CEOID>{r2, r3, r1, r4}), Order(Open(L"S", kNum2)));  // missing first, then 9 5 1
    EXPECT_EQ((std::vector<CEOID>{r2, r3, r1, r4}), Order(Open(L"S", kText)));  // case folded, ties stable
    EXPECT_EQ((std::vector<CEOID>{r2, r4, r3, r1}), Order(Open(L"S", kText2)));  // code-unit order
}

TEST_F(ApiTest, EverySeekType)
{
    ASSERT_TRUE(MakeDb(L"K", {{kNum, 0}, {kNum2, CEDB_SORT_DESCENDING}, {kText, 0}, {kText2, CEDB_SORT_CASEINSENSITIVE}}));
    HANDLE h = Open(L"K", kNum);
    CEOID a = Put(h, {I4(kNum, 10), I4(kNum2, 10), Str(kText, L"Ab"), Str(kText2, L"Ab")});
    CEOID b1 = Put(h, {I4(kNum, 20), I4(kNum2, 20), Str(kText, L"ab"), Str(kText2, L"ab")});
    CEOID b2 = Put(h, {I4(kNum, 20), I4(kNum2, 20)});
    CEOID c = Put(h, {I4(kNum, 30), I4(kNum2, 30)});
    CEOID none = Put(h, {Str(kText, L"zz")});
    auto seek = [&](HANDLE hd, DWORD type, CEPROPVAL v) { return CeSeekDatabase(hd, type, reinterpret_cast<DWORD_PTR>(&v), nullptr); };

    EXPECT_EQ(b1, seek(h, CEDB_SEEK_VALUEFIRSTEQUAL, I4(kNum, 20)));
    EXPECT_EQ(b2, seek(h, CEDB_SEEK_VALUENEXTEQUAL, I4(kNum, 20)));
    EXPECT_EQ(0u, seek(h, CEDB_SEEK_VALUENEXTEQUAL, I4(kNum, 20)));
    EXPECT_EQ(0u, seek(h, CEDB_SEEK_VALUEFIRSTEQUAL, I4(kNum, 15)));
    EXPECT_EQ(a, seek(h, CEDB_SEEK_VALUESMALLER, I4(kNum, 20)));
    EXPECT_EQ(0u, seek(h, CEDB_SEEK_VALUESMALLER, I4(kNum, 10)));
    EXPECT_EQ(b1, seek(h, CEDB_SEEK_VALUESMALLER, I4(kNum, 25)));  // first of the equal run
    EXPECT_EQ(b1, seek(h, CEDB_SEEK_VALUESMALLEROREQUAL, I4(kNum, 20)));
    EXPECT_EQ(a, seek(h, CEDB_SEEK_VALUESMALLEROREQUAL, I4(kNum, 19)));
    EXPECT_EQ(c, seek(h, CEDB_SEEK_VALUEGREATER, I4(kNum, 20)));
    EXPECT_EQ(0u, seek(h, CEDB_SEEK_VALUEGREATER, I4(kNum, 30)));  // the record without a value never matches
    EXPECT_EQ(b1, seek(h, CEDB_SEEK_VALUEGREATEROREQUAL, I4(kNum, 20)));
    EXPECT_EQ(c, seek(h, CEDB_SEEK_VALUEGREATEROREQUAL, I4(kNum, 21)));
    EXPECT_EQ(0u, seek(h, CEDB_SEEK_VALUEFIRSTEQUAL, I4(kNum2, 20)));  // not the open sort property

    DWORD index = 99;
    EXPECT_EQ(a, CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, &index));
    EXPECT_EQ(0u, index);
    EXPECT_EQ(b2, CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 2, &index));
    EXPECT_EQ(2u, index);
    EXPECT_EQ(c, CeSeekDatabase(h, CEDB_SEEK_CURRENT, 1, nullptr));
    EXPECT_EQ(b1, CeSeekDatabase(h, CEDB_SEEK_CURRENT, static_cast<DWORD>(-2), nullptr));
    EXPECT_EQ(none, CeSeekDatabase(h, CEDB_SEEK_END, 0, &index));
    EXPECT_EQ(4u, index);
    EXPECT_EQ(c, CeSeekDatabase(h, CEDB_SEEK_END, static_cast<DWORD>(-1), nullptr));
    EXPECT_EQ(0u, CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 5, nullptr));
    EXPECT_EQ(0u, ReadCurrent(h).oid);  // a failed seek leaves the position at the end
    EXPECT_EQ(b2, CeSeekDatabase(h, CEDB_SEEK_CEOID, b2, &index));
    EXPECT_EQ(2u, index);
    EXPECT_EQ(b2, ReadCurrent(h).oid);
    EXPECT_EQ(c, ReadCurrent(h).oid);  // the read moved on
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeSeekDatabase(h, 0x12345, 0, nullptr) == 0u);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeSeekDatabaseEx(h, CEDB_SEEK_VALUEFIRSTEQUAL, 0, 1, nullptr) == 0u);  // a value seek without values
    const CEPROPVAL four[4] = {I4(kNum, 20), I4(kNum2, 20), I4(kNum, 20), I4(kNum2, 20)};
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeSeekDatabaseEx(h, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(four), 4, nullptr) == 0u);

    // Descending order: smaller and greater still mean the values.
    HANDLE d = Open(L"K", kNum2);
    EXPECT_EQ(a, seek(d, CEDB_SEEK_VALUESMALLER, I4(kNum2, 20)));
    EXPECT_EQ(c, seek(d, CEDB_SEEK_VALUEGREATER, I4(kNum2, 20)));
    EXPECT_EQ(b1, seek(d, CEDB_SEEK_VALUESMALLER, I4(kNum2, 25)));

    // Strings compare case-sensitively unless the order is case-insensitive.
    HANDLE s = Open(L"K", kText);
    EXPECT_EQ(b1, seek(s, CEDB_SEEK_VALUEFIRSTEQUAL, Str(kText, L"ab")));
    EXPECT_EQ(0u, seek(s, CEDB_SEEK_VALUEFIRSTEQUAL, Str(kText, L"AB")));
    HANDLE ci = Open(L"K", kText2);
    EXPECT_EQ(a, seek(ci, CEDB_SEEK_VALUEFIRSTEQUAL, Str(kText2, L"AB")));
    EXPECT_EQ(b1, seek(ci, CEDB_SEEK_VALUENEXTEQUAL, Str(kText2, L"aB")));
    // Case folds at both ends of each alphabet's capitals.
    ASSERT_TRUE(MakeDb(L"Folds", {{kText, CEDB_SORT_CASEINSENSITIVE}}));
    HANDLE folds = Open(L"Folds", kText);
    for (const wchar_t* pair : {L"\u00C0\u00E0", L"\u00DE\u00FE", L"\u0391\u03B1", L"\u03AB\u03CB",
                                L"\u0410\u0430", L"\u042F\u044F", L"\u0100\u0101", L"\u0139\u013A", L"\u0147\u0148",
                                L"\u0179\u017A", L"\u017D\u017E", L"\u0401\u0451"}) {
        const wchar_t upper[2] = {pair[0], 0}, lower[2] = {pair[1], 0};
        const CEOID capital = Put(folds, {Str(kText, upper)});
        EXPECT_EQ(capital, seek(folds, CEDB_SEEK_VALUEFIRSTEQUAL, Str(kText, lower))) << int(pair[0]);
    }
}

// --- records -------------------------------------------------------------

TEST_F(ApiTest, ReadsAllOrChosenPropertiesIntoCallerOrServiceBuffers)
{
    ASSERT_TRUE(MakeDb(L"R", {}));
    HANDLE h = Open(L"R", 0);
    CEPROPVAL vals[6] = {I4(kNum, -7), Str(kText, L"hello"), Val(kFlag), Val(kReal), Val(kShort), Str(kText2, L"\xFFFF")};
    vals[2].val.boolVal = -1;
    vals[3].val.dblVal = 949998.0;
    vals[4].val.iVal = -3;
    CEOID oid = CeWriteRecordProps(h, 0, 6, vals);
    ASSERT_TRUE(oid);

    Read r = ReadCurrent(Open(L"R", 0));
    ASSERT_EQ(6u, r.props.size());
    EXPECT_EQ(L"\xFFFF", r.Text(kText2));
    EXPECT_EQ(-7, r.Find(kNum)->val.lVal);
    EXPECT_EQ(L"hello", r.Text(kText));
    EXPECT_EQ(1, r.Find(kFlag)->val.boolVal);
    EXPECT_EQ(949998.0, r.Find(kReal)->val.dblVal);
    EXPECT_EQ(-3, r.Find(kShort)->val.iVal);

    // A chosen list, in the caller's order, flags what the record lacks.
    HANDLE c = Open(L"R", 0, 0);
    CEPROPID ids[3] = {kText, kNum2, kNum};
    WORD count = 3;
    DWORD size = 512;
    LPBYTE buf = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, size));
    std::memset(buf, 0xAB, size);
    ASSERT_EQ(oid, CeReadRecordProps(c, CEDB_ALLOWREALLOC, &count, ids, &buf, &size));
    ASSERT_EQ(3, count);
    const CEPROPVAL* v = reinterpret_cast<const CEPROPVAL*>(buf);
    EXPECT_EQ(std::wstring(L"hello"), v[0].val.lpwstr);
    EXPECT_EQ(kNum2, v[1].propid);
    EXPECT_EQ(CEDB_PROPNOTFOUND, v[1].wFlags);
    EXPECT_EQ(0, v[1].val.lVal);
    EXPECT_EQ(0u, v[1].wLenData);
    EXPECT_EQ(-7, v[2].val.lVal);
    LocalFree(buf);

    // A caller's buffer that is too small: error 122 and the size needed,
    // unless the service may reallocate it.
    BYTE small[8];
    buf = small;
    size = sizeof small;
    count = 0;
    EXPECT_FAILS(ERROR_INSUFFICIENT_BUFFER, CeReadRecordProps(c, 0, &count, nullptr, &buf, &size) == 0u);
    EXPECT_GT(size, sizeof small);
    LPBYTE mine = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, 4));
    buf = mine;
    size = 4;
    ASSERT_EQ(oid, CeReadRecordPropsEx(c, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size, nullptr));
    ASSERT_EQ(6, count);
    EXPECT_GE(size, 6 * sizeof(CEPROPVAL));
    LocalFree(buf);
    buf = nullptr;  // no buffer, however large the size said
    size = 4096;
    ASSERT_EQ(oid, CeReadRecordProps(c, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size));
    LocalFree(buf);
    buf = nullptr;
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeReadRecordProps(c, CEDB_ALLOWREALLOC, nullptr, nullptr, &buf, &size) == 0u);
    EXPECT_EQ(0u, CeReadRecordProps(INVALID_HANDLE_VALUE, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size));
}

TEST_F(ApiTest, WritesReplaceOnlyTheGivenPropertiesAndDeleteOnRequest)
{
    CEOID db = MakeDb(L"W", {{kNum, 0}, {kNum2, CEDB_SORT_DESCENDING}});
    HANDLE h = Open(L"W", kNum);
    CEOID oid = Put(h, {I4(kNum, 1), Str(kText, L"keep"), Str(kText2, L"drop")});
    ASSERT_EQ(oid, Put(h, {I4(kNum, 2), Deleted(kText2), Deleted(kNum2)}, oid));
    ASSERT_EQ(oid, CeSeekDatabase(h, CEDB_SEEK_CEOID, oid, nullptr));
    Read r = ReadCurrent(h);
    EXPECT_EQ(2u, r.props.size());
    EXPECT_EQ(2, r.Find(kNum)->val.lVal);
    EXPECT_EQ(L"keep", r.Text(kText));
    EXPECT_EQ(nullptr, r.Find(kText2));

    EXPECT_FAILS(ERROR_INVALID_PARAMETER, Put(h, {I4(kNum, 3)}, oid + 1000) == 0u);
    CEPROPVAL null_text = Str(kText, nullptr);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeWriteRecordProps(h, 0, 1, &null_text) == 0u);
    CEPROPVAL bad_type = I4(0x00090009, 1);
    EXPECT_EQ(0u, CeWriteRecordProps(h, 0, 1, &bad_type));
    // Blobs beyond the record limit or without their bytes.
    std::vector<BYTE> big(cedb::kMaxRecordBytes + 1, 7);
    CEPROPVAL blob = Val(kBlob);
    blob.val.blob.dwCount = static_cast<DWORD>(big.size());
    blob.val.blob.lpb = big.data();
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeWriteRecordProps(h, 0, 1, &blob) == 0u);
    blob.val.blob.dwCount = 5;
    blob.val.blob.lpb = nullptr;
    EXPECT_EQ(0u, CeWriteRecordProps(h, 0, 1, &blob));
    blob.val.blob.dwCount = 3;
    blob.val.blob.lpb = big.data();
    CEOID small = CeWriteRecordProps(h, 0, 1, &blob);
    ASSERT_EQ(small, CeSeekDatabase(h, CEDB_SEEK_CEOID, small, nullptr)) << "a small blob is fine";
    EXPECT_EQ(std::wstring(3, L'\7'), ReadCurrent(h).Text(kBlob));
    ASSERT_TRUE(CeDeleteRecord(h, small));
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeWriteRecordProps(h, 0, 1, nullptr) == 0u);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeCreateDatabaseEx(&vol_, nullptr) == 0u);

    CEOIDINFO info;
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, oid, &info));
    EXPECT_EQ(OBJTYPE_RECORD, info.wObjType);
    EXPECT_EQ(0, info.wPad) << "nothing but what it describes";
    EXPECT_EQ(db, info.infRecord.oidParent);
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, db, &info));
    EXPECT_EQ(OBJTYPE_DATABASE, info.wObjType);
    EXPECT_EQ(0, info.wPad);
    EXPECT_EQ(1, info.infDatabase.wNumRecords);
    EXPECT_EQ(std::wstring(L"W"), info.infDatabase.szDbaseName);
    EXPECT_EQ(kNum, info.infDatabase.rgSortSpecs[0].propid);
    EXPECT_EQ(static_cast<DWORD>(CEDB_SORT_DESCENDING), info.infDatabase.rgSortSpecs[1].dwFlags);
    // The extended information holds every sort order and zeroes the rest.
    CEOIDINFOEX ex;
    std::memset(&ex, 0xAB, sizeof ex);
    ex.wVersion = CEOIDINFOEX_VERSION;
    ASSERT_TRUE(CeOidGetInfoEx2(&vol_, db, &ex));
    EXPECT_STREQ(L"W", ex.infDatabase.szDbaseName);
    ASSERT_EQ(2, ex.infDatabase.wNumSortOrder);
    EXPECT_EQ(kNum, ex.infDatabase.rgSortSpecs[0].rgPropID[0]);
    EXPECT_EQ(0u, ex.infDatabase.rgSortSpecs[0].rgPropID[1]);
    EXPECT_EQ(kNum2, ex.infDatabase.rgSortSpecs[1].rgPropID[0]);
    EXPECT_EQ(static_cast<DWORD>(CEDB_SORT_DESCENDING), ex.infDatabase.rgSortSpecs[1].rgdwFlags[0]);
    EXPECT_EQ(0, ex.infDatabase.rgSortSpecs[2].wNumProps);
    EXPECT_EQ(0u, ex.infDatabase.rgSortSpecs[2].rgPropID[0]);
    EXPECT_EQ(0, ex.infDatabase.szDbaseName[CEDB_MAXDBASENAMELEN - 1]);

    EXPECT_TRUE(CeDeleteRecord(h, oid));
    EXPECT_FALSE(CeDeleteRecord(h, oid));
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, db, &info));
    EXPECT_EQ(0, info.infDatabase.wNumRecords);
    EXPECT_FALSE(CeOidGetInfoEx(&vol_, oid, &info));
}

TEST_F(ApiTest, RecordCountsAreReportedInSixteenBits)
{
    CEOID db = MakeDb(L"Many", {});
    HANDLE h = Open(L"Many", 0);
    CEPROPVAL v = I4(kNum, 0);
    for (int i = 0; i < 65537; ++i) ASSERT_TRUE(CeWriteRecordProps(h, 0, 1, &v));
    CEOIDINFO info;
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, db, &info));
    EXPECT_EQ(0xFFFF, info.infDatabase.wNumRecords);
    CEOIDINFOEX ex;
    ASSERT_TRUE(CeOidGetInfoEx2(&vol_, db, &ex));
    EXPECT_EQ(65537u, ex.infDatabase.dwNumRecords);
}

// --- enumeration and deletion --------------------------------------------

TEST_F(ApiTest, EnumerationListsDatabasesAndCloseHandleEndsIt)
{
    CEOID a = MakeDb(L"A", {}, 7), b = MakeDb(L"B", {}, 8), c = MakeDb(L"C", {}, 7);
    HANDLE e = CeFindFirstDatabaseEx(&vol_, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, e);
    std::vector<CEOID> seen;
    for (CEOID oid; (oid = CeFindNextDatabaseEx(e, &vol_)) != 0;) seen.push_back(oid);
    EXPECT_EQ((std::vector<CEOID>{a, b, c}), seen);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, GetLastError());
    EXPECT_TRUE(CloseHandle(e));

    e = CeFindFirstDatabaseEx(&vol_, 7);
    EXPECT_EQ(a, CeFindNextDatabaseEx(e, &vol_));
    EXPECT_TRUE(CeDeleteDatabaseEx(&vol_, c));  // deleted meanwhile: skipped
    EXPECT_EQ(0u, CeFindNextDatabaseEx(e, &vol_));
    EXPECT_TRUE(CloseHandle(e));
#ifndef _WIN32
    // Natively the service closes its own handles. In the Windows build the
    // kernel does, and the value then belongs to the system.
    EXPECT_FAILS(ERROR_INVALID_HANDLE, CeFindNextDatabaseEx(e, &vol_) == 0u);
#endif
}

TEST_F(ApiTest, AnOpenDatabaseCannotBeDeleted)
{
    CEOID db = MakeDb(L"D", {});
    HANDLE h = Open(L"D", 0);
    Put(h, {I4(kNum, 1)});
    EXPECT_FAILS(ERROR_SHARING_VIOLATION, !CeDeleteDatabaseEx(&vol_, db));
    Close(h);
    EXPECT_TRUE(CeDeleteDatabaseEx(&vol_, db));
    EXPECT_FAILS(ERROR_FILE_NOT_FOUND, Open(L"D", 0) == INVALID_HANDLE_VALUE);
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, !CeDeleteDatabaseEx(&vol_, db));
}

// The system hands closed handle values out again; each value must reach the
// object it names now, and a closed handle must neither keep its database
// from being deleted nor hear of changes.
TEST_F(ApiTest, AClosedHandleLetsGoOfItsDatabaseAndItsValue)
{
    CEOID a = MakeDb(L"A", {}), b = MakeDb(L"B", {});
    MessageWindow win;
    CENOTIFYREQUEST req = {};
    req.dwSize = sizeof req;
    req.hwnd = win.hwnd();
    HANDLE first = Open(L"A", 0, CEDB_AUTOINCREMENT, &req);
    ASSERT_NE(INVALID_HANDLE_VALUE, first);
    Close(first);
    // Opening again soon returns the freed value; B must answer through it.
    HANDLE again = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 16 && again != first; ++i) again = Open(L"B", 0, CEDB_AUTOINCREMENT);
    ASSERT_EQ(first, again) << "the closed value was not handed out again";
    CEOID r = Put(again, {I4(kNum, 7)});
    ASSERT_NE(0u, r);
    EXPECT_EQ(r, CeSeekDatabase(again, CEDB_SEEK_BEGINNING, 0, nullptr));
    EXPECT_EQ(r, ReadCurrent(again).oid);
    CEOIDINFO info = {};
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, a, &info));
    EXPECT_EQ(0, info.infDatabase.wNumRecords);
    ASSERT_TRUE(CeOidGetInfoEx(&vol_, b, &info));
    EXPECT_EQ(1, info.infDatabase.wNumRecords);
    EXPECT_TRUE(CeDeleteDatabaseEx(&vol_, a));
    EXPECT_TRUE(win.Take().empty());
#ifdef _WIN32
    // A closed value taken by an object of another kind is not ours either.
    HANDLE watch = Open(L"B", 0, CEDB_AUTOINCREMENT, &req);
    Close(watch);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(watch, event) << "the closed value was not handed out again";
    Put(again, {I4(kNum, 8)});
    EXPECT_TRUE(win.Take().empty());
    Close(again);
    EXPECT_TRUE(CeDeleteDatabaseEx(&vol_, b));
    CloseHandle(event);
#endif
}

// --- notifications -------------------------------------------------------

TEST_F(ApiTest, WindowsAskingForNotificationsHearOfEveryChangeInTheirDatabase)
{
    static_assert(sizeof(CENOTIFICATION) == 36, "the platform's notification is 36 bytes");
    CEOID db = MakeDb(L"N", {});
    ASSERT_TRUE(MakeDb(L"Other", {}));
    MessageWindow win, quiet;
    CENOTIFYREQUEST req = {};
    req.dwSize = sizeof req;
    req.hwnd = win.hwnd();
    req.dwFlags = CEDB_EXNOTIFICATION;
    req.dwParam = 42;
    HANDLE watch = Open(L"N", 0, 0, &req);
    ASSERT_NE(INVALID_HANDLE_VALUE, watch);
    CENOTIFYREQUEST none = {};
    none.dwSize = sizeof none;
    Open(L"N", 0, 0, &none);
    CENOTIFYREQUEST plain = req;
    plain.hwnd = quiet.hwnd();
    plain.dwFlags = 0;  // the older form: no notification structures
    plain.dwSize = 20;  // in the handheld's size
    ASSERT_NE(INVALID_HANDLE_VALUE, Open(L"N", 0, 0, &plain));

    HANDLE writer = Open(L"N", 0);
    CEOID r = Put(writer, {I4(kNum, 1)});
    Put(writer, {I4(kNum, 2)}, r);
    CeDeleteRecord(writer, r);
    Put(Open(L"Other", 0), {I4(kNum, 1)});  // another database: not heard

    struct Expect {
        UINT type;
        CEOID oid, parent;
    } expected[] = {{DB_CEOID_CREATED, r, db}, {DB_CEOID_CHANGED, r, db}, {DB_CEOID_RECORD_DELETED, r, db}};
    std::vector<cedb_test::PostedMessage> got = win.Take();
    ASSERT_EQ(3u, got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(static_cast<UINT>(WM_DBNOTIFICATION), got[i].msg);
        CENOTIFICATION* n = reinterpret_cast<CENOTIFICATION*>(got[i].lParam);
        EXPECT_EQ(36u, n->dwSize);
        EXPECT_EQ(42u, n->dwParam);
        EXPECT_EQ(expected[i].type, n->uType) << i;
        EXPECT_EQ(expected[i].oid, n->oid);
        EXPECT_EQ(expected[i].parent, n->oidParent);
        EXPECT_EQ(0, std::memcmp(&n->guid, &vol_, sizeof vol_));
        EXPECT_TRUE(CeFreeNotification(&req, n));
    }
    for (const cedb_test::PostedMessage& m : quiet.Take()) EXPECT_NE(static_cast<UINT>(WM_DBNOTIFICATION), m.msg);

    // Databases made in the volume are announced too, with no parent.
    CEOID later = MakeDb(L"Later", {});
    got = win.Take();
    ASSERT_EQ(1u, got.size());
    CENOTIFICATION* made = reinterpret_cast<CENOTIFICATION*>(got[0].lParam);
    EXPECT_EQ(static_cast<UINT>(DB_CEOID_CREATED), made->uType);
    EXPECT_EQ(later, made->oid);
    EXPECT_EQ(0u, made->oidParent);
    CeFreeNotification(&req, made);

    // Closed handles hear nothing more.
    Close(watch);
    Put(writer, {I4(kNum, 3)});
    EXPECT_TRUE(win.Take().empty());
}

TEST(FixedText, IsCutToTheBufferAndAlwaysTerminated)
{
    WCHAR buf[6];
    for (WCHAR& c : buf) c = L'#';
    EXPECT_EQ(5u, cedb::CopyFixedText(buf, 6, L"abcdefgh"));
    EXPECT_EQ(std::wstring(L"abcde"), buf);
    EXPECT_EQ(2u, cedb::CopyFixedText(buf, 6, L"xy"));
    EXPECT_EQ(std::wstring(L"xy"), buf);
    EXPECT_EQ(0u, cedb::CopyFixedText(buf, 6, static_cast<const WCHAR*>(nullptr)));
    EXPECT_EQ(L'\0', buf[0]);
    buf[0] = L'q';
    EXPECT_EQ(0u, cedb::CopyFixedText(buf, 0, L"abc"));  // no room at all: untouched
    EXPECT_EQ(L'q', buf[0]);
}

// --- the object store ----------------------------------------------------

TEST(ObjectStore, TheZeroIdentifierIsAVolumeInTheDeviceFolder)
{
    SORTORDERSPEC orders[5] = {{kText, CEDB_SORT_DESCENDING}, {kNum, 0}, {kNum2, 0}, {kFlag, 0}, {kReal, 0}};
    EXPECT_FAILS(ERROR_INVALID_PARAMETER, CeCreateDatabase(L"Five orders", 0, 5, orders) == 0u);
    EXPECT_EQ(0u, CeCreateDatabase(L"Orders not given", 0, 1, nullptr));
    CEOID db = CeCreateDatabase(L"Categories", 0, 1, orders);
    ASSERT_TRUE(db) << GetLastError();
    CEGUID device;  // the store holds its file there
    EXPECT_FAILS(ERROR_SHARING_VIOLATION, !CeMountDBVol(&device, JoinPath(g_device_dir, L"device.vol").c_str(), OPEN_EXISTING));
    MessageWindow win;
    CEOID oid = db;
    HANDLE h = CeOpenDatabase(&oid, nullptr, kText, CEDB_AUTOINCREMENT, win.hwnd());
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CEPROPVAL v = Str(kText, L"Business");
    ASSERT_TRUE(CeWriteRecordProps(h, 0, 1, &v));
    v = Str(kText, L"Press");
    ASSERT_TRUE(CeWriteRecordProps(h, 0, 1, &v));
    EXPECT_EQ(2u, win.Take().size()) << "changes in the object store are announced too";
    // Every program has the store open at once; changes made in bulk reach
    // the others when the bulk ends.
    CedbBeginObjectStoreBulk();
    ASSERT_TRUE(CeWriteRecordProps(h, 0, 1, &v));
    EXPECT_TRUE(CedbEndObjectStoreBulk());
    EXPECT_EQ(3, cedb_test::RunSelf(L"--store-child Categories"));

    HANDLE e = CeFindFirstDatabase(0);
    bool found = false;
    for (CEOID next; (next = CeFindNextDatabase(e)) != 0;) {
        CEOIDINFO info;
        ASSERT_TRUE(CeOidGetInfo(next, &info));
        if (std::wstring(info.infDatabase.szDbaseName) != L"Categories") continue;
        found = next == db;
        EXPECT_EQ(0u, info.infDatabase.rgSortSpecs[1].propid) << "an unused sort order reads as zeros";
    }
    CloseHandle(e);
    EXPECT_TRUE(found);

    ASSERT_TRUE(CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, nullptr));
    WORD count = 0;
    LPBYTE buf = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(CeReadRecordPropsEx(h, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size, nullptr));
    EXPECT_EQ(std::wstring(L"Press"), reinterpret_cast<CEPROPVAL*>(buf)->val.lpwstr) << "descending, as created";
    LocalFree(buf);
    CloseHandle(h);
    EXPECT_TRUE(CeDeleteDatabase(db));
    CEOIDINFO gone;
    EXPECT_FALSE(CeOidGetInfo(db, &gone));
    CEGUID system;
    CREATE_SYSTEMGUID(&system);
    EXPECT_FALSE(CeUnmountDBVol(&system));
}

}  // namespace

#ifdef _WIN32
extern "C" int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    // A second process: mounts a volume, or counts the records of an object
    // store database; the exit code says what it found.
    using Char = std::remove_pointer_t<std::remove_pointer_t<decltype(argv)>>;
    auto arg = [&](int i) { return std::wstring(argv[i], argv[i] + std::char_traits<Char>::length(argv[i])); };
    if (argc == 3 && arg(1) == L"--mount-child") {
        CEGUID g;
        if (!CeMountDBVol(&g, arg(2).c_str(), OPEN_EXISTING)) return static_cast<int>(GetLastError());
        CeUnmountDBVol(&g);
        return 0;
    }
    if (argc == 3 && arg(1) == L"--store-child") {
        CEOID oid = 0;
        CEOIDINFO info;
        HANDLE h = CeOpenDatabase(&oid, arg(2).c_str(), 0, 0, nullptr);
        return h == INVALID_HANDLE_VALUE || !CeOidGetInfo(oid, &info) ? 100 : info.infDatabase.wNumRecords;
    }
    g_device_dir = JoinPath(cedb_test::NewTempFolder(), L"device");
    cedb_test::SetEnvironment("VANTARO_DEVICE_DIR", g_device_dir);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
