// The platform's database calls over the engine. Every call takes one
// process-wide lock, so the service is safe to call from any thread.
#include "platform/cedb/windbase.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#ifndef _WIN32
#include <climits>
#include <cstdlib>
#endif

#include "platform/cedb/call_counts.h"
#include "platform/cedb/object_store_bulk.h"
#include "platform/cedb/core/volume.h"
#include "platform/cedb/fixed_text.h"
#include "platform/cedb/handle_table.h"
#include "platform/cedb/object_store.h"

using cedb::api::HandleObject;

namespace {

constexpr DWORD kGuidMarker = 0x56544F56;  // tells our volume identifiers from random bits

std::recursive_mutex g_api;
std::atomic<long> g_calls{0}, g_opens{0};

// Every call of the platform's API holds the service's lock and is counted.
struct ApiCall {
    std::lock_guard<std::recursive_mutex> lock{g_api};
    ApiCall() { g_calls++; }
};

struct VolumeSlot {
    std::unique_ptr<cedb::Volume> vol;
    int refs = 0;
    std::string key;
    CEGUID guid = {0, 0, 0, 0};
    bool object_store = false;
    int listeners = 0;  // handles with a notification window
};

std::vector<std::unique_ptr<VolumeSlot>> g_slots;
DWORD g_serial = 0;
VolumeSlot g_object_store;

struct DbHandle : HandleObject {
    VolumeSlot* slot = nullptr;
    DWORD serial = 0;
    cedb::Cursor cursor;
    CEOID db = 0;
    bool autoincrement = false;
    HWND hwnd = nullptr;
    bool ex = false;
    HANDLE heap = nullptr;
    DWORD param = 0;

    bool Valid() const { return slot && slot->vol && slot->guid.Data3 == serial; }
    ~DbHandle() override
    {
        std::lock_guard<std::recursive_mutex> lock(g_api);
        if (!Valid()) return;
        slot->vol->CloseCursor(&cursor);
        if (hwnd) slot->listeners--;
    }
};

struct EnumHandle : HandleObject {
    VolumeSlot* slot = nullptr;
    DWORD serial = 0;
    std::vector<CEOID> oids;
    size_t next = 0;
};

template <class T>
T Fail(DWORD err, T value)
{
    SetLastError(err);
    return value;
}

// --- strings -------------------------------------------------------------

// UTF-16 of a WCHAR string of at most `limit` characters; false if longer.
bool ToU16(LPCWSTR s, size_t limit, std::u16string* out)
{
    size_t n = 0;
    while (s[n]) {
        if (n >= limit) return false;
        ++n;
    }
    out->resize(n);
    for (size_t i = 0; i < n; ++i) {
        unsigned long c = static_cast<unsigned long>(s[i]);
        if (sizeof(WCHAR) > 2 && c > 0xFFFF) c = 0xFFFD;
        (*out)[i] = static_cast<char16_t>(c);
    }
    return true;
}

void CopyToFixed(WCHAR* dst, size_t capacity, const std::u16string& src)
{
    cedb::CopyFixedText(dst, capacity, src.data(), src.size());
}

std::string Utf8(const std::u16string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Two spellings of one file must find the same mounted volume.
std::string VolumeKey(const std::string& path)
{
#ifdef _WIN32
    int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &w[0], n);
    wchar_t full[MAX_PATH * 4];
    DWORD len = GetFullPathNameW(w.c_str(), MAX_PATH * 4, full, nullptr);
    if (len == 0 || len >= MAX_PATH * 4) return path;
    CharLowerBuffW(full, len);
    std::u16string u(full, full + len);
    return Utf8(u);
#else
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (!realpath(dir.c_str(), resolved)) return path;
    return std::string(resolved) + "/" + base;
#endif
}

// --- volumes -------------------------------------------------------------

void DeliverNotification(VolumeSlot* slot, cedb::Change ch, uint32_t db, uint32_t oid);

void Attach(VolumeSlot* slot)
{
    slot->vol->SetObserver([slot](cedb::Change ch, uint32_t db, uint32_t oid) { DeliverNotification(slot, ch, db, oid); });
}

VolumeSlot* ObjectStore()
{
    if (g_object_store.vol) return &g_object_store;
    std::string folder = cedb::ObjectStoreFolder();
    if (!cedb::EnsureFolder(folder)) return Fail<VolumeSlot*>(ERROR_ACCESS_DENIED, nullptr);
    cedb::MountOptions opt;
    opt.mode = cedb::kOpenAlways;
    std::unique_ptr<cedb::Volume> vol;
    cedb::Status s = cedb::Volume::Mount(cedb::ServiceFileSystem(), cedb::ObjectStorePath(), opt, &vol);
    if (!s.ok()) return Fail<VolumeSlot*>(s.code, nullptr);
    g_object_store.vol = std::move(vol);
    g_object_store.object_store = true;
    g_object_store.guid.Data3 = ++g_serial;
    Attach(&g_object_store);
    return &g_object_store;
}

VolumeSlot* Slot(const CEGUID* g)
{
    if (!g) return Fail<VolumeSlot*>(ERROR_INVALID_PARAMETER, nullptr);
    if (CHECK_SYSTEMGUID(g)) return ObjectStore();
    if (g->Data2 == kGuidMarker && g->Data1 >= 1 && g->Data1 <= g_slots.size()) {
        VolumeSlot* s = g_slots[g->Data1 - 1].get();
        if (s->vol && s->guid.Data3 == g->Data3) return s;
    }
    return Fail<VolumeSlot*>(ERROR_INVALID_PARAMETER, nullptr);
}

CEGUID GuidOf(const VolumeSlot* slot)
{
    if (slot->object_store) return CEGUID{0, 0, 0, 0};
    return slot->guid;
}

int g_object_store_bulk = 0;  // open CedbBeginObjectStoreBulk calls

// The device's object store commits every change at once, unless a bulk
// change defers that to its end. A change whose flush failed is gone again
// (the volume went back to its file): the call fails with the flush's error.
bool AfterChange(VolumeSlot* slot)
{
    if (!slot->object_store || g_object_store_bulk > 0) return true;
    cedb::Status s = slot->vol->Flush();
    if (!s.ok()) SetLastError(s.code);
    return s.ok();
}

std::shared_ptr<DbHandle> Db(HANDLE h)
{
    auto obj = std::dynamic_pointer_cast<DbHandle>(cedb::api::LookupApiHandle(h));
    if (!obj || !obj->Valid() || !obj->cursor.db) return Fail<std::shared_ptr<DbHandle>>(ERROR_INVALID_HANDLE, nullptr);
    return obj;
}

// --- notifications -------------------------------------------------------

std::atomic<unsigned long long> g_change_stamp{1};

void DeliverNotification(VolumeSlot* slot, cedb::Change ch, uint32_t db, uint32_t oid)
{
    ++g_change_stamp;
    UINT type = DB_CEOID_CHANGED;
    bool record = true;
    switch (ch) {
    case cedb::Change::kRecordCreated: type = DB_CEOID_CREATED; break;
    case cedb::Change::kRecordChanged: type = DB_CEOID_CHANGED; break;
    case cedb::Change::kRecordDeleted: type = DB_CEOID_RECORD_DELETED; break;
    case cedb::Change::kDatabaseCreated: type = DB_CEOID_CREATED; record = false; break;
    case cedb::Change::kDatabaseDeleted: type = DB_CEOID_DATABASE_DELETED; record = false; break;
    }
    if (slot->listeners <= 0) return;
    // Only the handles that would hear of it are checked for being closed.
    auto hears = [&](const HandleObject& obj) {
        auto h = dynamic_cast<const DbHandle*>(&obj);
        return h && h->slot == slot && h->serial == slot->guid.Data3 && h->hwnd && (!record || h->db == db);
    };
    for (auto& obj : cedb::api::LiveApiHandles(hears)) {
        auto h = std::static_pointer_cast<DbHandle>(obj);
        CEOID parent = record ? db : 0;
        if (!h->ex) {
            PostMessageW(h->hwnd, type, static_cast<WPARAM>(oid), static_cast<LPARAM>(parent));
            continue;
        }
        CENOTIFICATION* n;
#ifdef _WIN32
        if (h->heap) n = static_cast<CENOTIFICATION*>(HeapAlloc(h->heap, HEAP_ZERO_MEMORY, sizeof(CENOTIFICATION)));
        else
#endif
            n = static_cast<CENOTIFICATION*>(LocalAlloc(LPTR, sizeof(CENOTIFICATION)));
        if (!n) continue;
        n->dwSize = sizeof(CENOTIFICATION);
        n->dwParam = h->param;
        n->uType = type;
        n->guid = GuidOf(slot);
        n->oid = oid;
        n->oidParent = parent;
        if (!PostMessageW(h->hwnd, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(n))) {
            CENOTIFYREQUEST req = {};
            req.dwSize = sizeof req;
            req.hHeap = h->heap;
            CeFreeNotification(&req, n);
        }
    }
}

// --- properties ----------------------------------------------------------

bool ToProp(const CEPROPVAL& v, cedb::Prop* p)
{
    p->id = v.propid;
    switch (TypeFromPropID(v.propid)) {
    case CEVT_I2: p->i = v.val.iVal; break;
    case CEVT_UI2: p->i = v.val.uiVal; break;
    case CEVT_I4: p->i = v.val.lVal; break;
    case CEVT_UI4: p->i = v.val.ulVal; break;
    case CEVT_BOOL: p->i = v.val.boolVal ? 1 : 0; break;
    case CEVT_R8: p->d = v.val.dblVal; break;
    case CEVT_FILETIME:
        p->i = static_cast<int64_t>((static_cast<uint64_t>(v.val.filetime.dwHighDateTime) << 32) |
                                    v.val.filetime.dwLowDateTime);
        break;
    case CEVT_LPWSTR:
        if (!v.val.lpwstr || !ToU16(v.val.lpwstr, cedb::kMaxRecordBytes / 2, &p->s)) return false;
        break;
    case CEVT_BLOB:
        if (v.val.blob.dwCount > cedb::kMaxRecordBytes || (v.val.blob.dwCount && !v.val.blob.lpb)) return false;
        p->blob.assign(reinterpret_cast<const char*>(v.val.blob.lpb), v.val.blob.dwCount);
        break;
    default: return false;
    }
    return true;
}

size_t Align8(size_t n) { return (n + 7) & ~size_t(7); }

size_t DataBytes(const cedb::Prop& p)
{
    switch (TypeFromPropID(p.id)) {
    case CEVT_LPWSTR: return Align8((p.s.size() + 1) * sizeof(WCHAR));
    case CEVT_BLOB: return Align8(p.blob.size());
    default: return 0;
    }
}

// Fills one value; variable data goes to *data, which then moves on.
void FromProp(const cedb::Prop& p, CEPROPVAL* v, BYTE** data)
{
    std::memset(v, 0, sizeof *v);
    v->propid = p.id;
    switch (TypeFromPropID(p.id)) {
    case CEVT_I2: v->val.iVal = static_cast<short>(p.i); break;
    case CEVT_UI2: v->val.uiVal = static_cast<USHORT>(p.i); break;
    case CEVT_I4: v->val.lVal = static_cast<LONG>(p.i); break;
    case CEVT_UI4: v->val.ulVal = static_cast<ULONG>(p.i); break;
    case CEVT_BOOL: v->val.boolVal = static_cast<BOOL>(p.i); break;
    case CEVT_R8: v->val.dblVal = p.d; break;
    case CEVT_FILETIME:
        v->val.filetime.dwLowDateTime = static_cast<DWORD>(p.i);
        v->val.filetime.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(p.i) >> 32);
        break;
    case CEVT_LPWSTR: {
        WCHAR* s = reinterpret_cast<WCHAR*>(*data);
        CopyToFixed(s, p.s.size() + 1, p.s);
        v->val.lpwstr = s;
        v->wLenData = static_cast<WORD>(p.s.size() * 2 + 2 > 0xFFFF ? 0xFFFF : p.s.size() * 2 + 2);
        break;
    }
    case CEVT_BLOB:
        if (!p.blob.empty()) std::memcpy(*data, p.blob.data(), p.blob.size());
        v->val.blob.dwCount = static_cast<DWORD>(p.blob.size());
        v->val.blob.lpb = *data;
        v->wLenData = static_cast<WORD>(p.blob.size() > 0xFFFF ? 0xFFFF : p.blob.size());
        break;
    }
    *data += DataBytes(p);
}

// --- databases -----------------------------------------------------------

CEOID CreateDatabase(const CEGUID* g, const std::u16string& name, DWORD type, DWORD flags,
                     const std::vector<cedb::SortOrder>& orders)
{
    VolumeSlot* slot = Slot(g);
    if (!slot) return 0;
    cedb::DatabaseLayout layout;
    layout.name = name;
    layout.type = type;
    layout.flags = flags;
    layout.orders = orders;
    uint32_t oid = 0;
    cedb::Status s = slot->vol->CreateDatabase(layout, &oid);
    if (!s.ok()) return Fail<CEOID>(s.code, 0);
    return AfterChange(slot) ? oid : 0;
}

bool NameFromFixed(const WCHAR* buf, std::u16string* name)
{
    size_t n = 0;
    while (n < CEDB_MAXDBASENAMELEN && buf[n]) ++n;
    if (n == CEDB_MAXDBASENAMELEN) return false;  // 32 characters and no terminator
    return ToU16(buf, cedb::kMaxNameLength, name);
}

const DWORD kSortFlagMask = CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST;

void FillInfo(const cedb::Database& db, CEDBASEINFO* info)
{
    std::memset(info, 0, sizeof *info);
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS |
                    (db.layout.flags & CEDB_NOCOMPRESS);
    CopyToFixed(info->szDbaseName, CEDB_MAXDBASENAMELEN, db.layout.name);
    info->dwDbaseType = db.layout.type;
    info->wNumRecords = static_cast<WORD>(db.count() > 0xFFFF ? 0xFFFF : db.count());
    info->wNumSortOrder = static_cast<WORD>(db.layout.orders.size());
    info->dwSize = static_cast<DWORD>(db.record_bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : db.record_bytes);
    for (size_t i = 0; i < db.layout.orders.size() && i < CEDB_MAXSORTORDER; ++i) {
        info->rgSortSpecs[i].propid = db.layout.orders[i][0].propid;
        info->rgSortSpecs[i].dwFlags = db.layout.orders[i][0].flags;
    }
}

void FillInfoEx(const cedb::Database& db, CEDBASEINFOEX* info)
{
    std::memset(info, 0, sizeof *info);
    info->wVersion = CEDBASEINFOEX_VERSION;
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS |
                    (db.layout.flags & CEDB_NOCOMPRESS);
    CopyToFixed(info->szDbaseName, CEDB_MAXDBASENAMELEN, db.layout.name);
    info->dwDbaseType = db.layout.type;
    info->dwNumRecords = static_cast<DWORD>(db.count());
    info->wNumSortOrder = static_cast<WORD>(db.layout.orders.size());
    info->dwSize = static_cast<DWORD>(db.record_bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : db.record_bytes);
    for (size_t i = 0; i < db.layout.orders.size() && i < CEDB_MAXSORTORDER; ++i) {
        SORTORDERSPECEX& o = info->rgSortSpecs[i];
        o.wVersion = SORTORDERSPECEX_VERSION;
        const cedb::SortOrder& keys = db.layout.orders[i];
        o.wNumProps = static_cast<WORD>(keys.size() < CEDB_MAXSORTPROP ? keys.size() : CEDB_MAXSORTPROP);
        for (WORD k = 0; k < o.wNumProps; ++k) {
            o.rgPropID[k] = keys[k].propid;
            o.rgdwFlags[k] = keys[k].flags;
        }
    }
}

HANDLE OpenDatabase(const CEGUID* g, PCEOID poid, LPCWSTR name, CEPROPID propid, DWORD flags, HWND hwnd, bool ex,
                    HANDLE heap, DWORD param)
{
    VolumeSlot* slot = Slot(g);
    if (!slot) return INVALID_HANDLE_VALUE;
    cedb::Database* db = nullptr;
    if (poid && *poid) {
        db = slot->vol->FindDatabase(*poid);
    } else {
        std::u16string n;
        if (!name) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
        if (!ToU16(name, cedb::kMaxNameLength, &n)) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
        db = slot->vol->FindDatabaseByName(n);
    }
    if (!db) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    auto h = std::make_shared<DbHandle>();
    h->slot = slot;
    h->serial = slot->guid.Data3;
    h->db = db->oid;
    h->autoincrement = (flags & CEDB_AUTOINCREMENT) != 0;
    h->hwnd = hwnd;
    h->ex = ex;
    h->heap = heap;
    h->param = param;
    cedb::Status s = slot->vol->OpenCursor(db->oid, propid, &h->cursor);
    if (!s.ok()) {
        h->slot = nullptr;
        return Fail(s.code, INVALID_HANDLE_VALUE);
    }
    HANDLE out = cedb::api::NewApiHandle(h);
    if (!out) return Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
    if (hwnd) slot->listeners++;
    if (poid) *poid = db->oid;
    return out;
}

HANDLE FindFirst(const CEGUID* g, DWORD type)
{
    VolumeSlot* slot = Slot(g);
    if (!slot) return INVALID_HANDLE_VALUE;
    auto e = std::make_shared<EnumHandle>();
    e->slot = slot;
    e->serial = slot->guid.Data3;
    for (auto& kv : slot->vol->databases())
        if (type == 0 || kv.second->layout.type == type) e->oids.push_back(kv.first);
    HANDLE out = cedb::api::NewApiHandle(e);
    return out ? out : Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
}

CEOID FindNext(HANDLE h)
{
    auto e = std::dynamic_pointer_cast<EnumHandle>(cedb::api::LookupApiHandle(h));
    if (!e) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
    if (!e->slot->vol || e->slot->guid.Data3 != e->serial) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
    while (e->next < e->oids.size()) {
        CEOID oid = e->oids[e->next++];
        if (e->slot->vol->FindDatabase(oid)) return oid;  // skip databases deleted meanwhile
    }
    return Fail<CEOID>(ERROR_NO_MORE_ITEMS, 0);
}

template <class Info, class Fill>
BOOL OidGetInfo(const CEGUID* g, CEOID oid, Info* info, Fill fill)
{
    VolumeSlot* slot = Slot(g);
    if (!slot) return FALSE;
    if (!info) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (cedb::Database* db = slot->vol->FindDatabase(oid)) {
        std::memset(info, 0, sizeof *info);
        info->wObjType = OBJTYPE_DATABASE;
        fill(*db, &info->infDatabase);
        return TRUE;
    }
    if (const cedb::Record* r = oid ? slot->vol->FindRecord(oid) : nullptr) {
        std::memset(info, 0, sizeof *info);
        info->wObjType = OBJTYPE_RECORD;
        info->infRecord.oidParent = r->db;
        return TRUE;
    }
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
}

BOOL DeleteDatabase(const CEGUID* g, CEOID oid)
{
    VolumeSlot* slot = Slot(g);
    if (!slot) return FALSE;
    if (!slot->vol->FindDatabase(oid)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    auto opens_it = [&](const HandleObject& obj) {
        auto h = dynamic_cast<const DbHandle*>(&obj);
        return h && h->Valid() && h->slot == slot && h->db == oid && h->cursor.db;
    };
    if (!cedb::api::LiveApiHandles(opens_it).empty()) return Fail(ERROR_SHARING_VIOLATION, FALSE);
    cedb::Status s = slot->vol->DeleteDatabase(oid);
    if (!s.ok()) return Fail(s.code, FALSE);
    return AfterChange(slot) ? TRUE : FALSE;
}

// Both information forms: the valid-field flags say what to take.
template <class Info, class ToOrder>
CEOID CreateFromInfo(const CEGUID* g, const Info* info, ToOrder to_order)
{
    std::u16string name;
    if (!info || !(info->dwFlags & CEDB_VALIDNAME) || !NameFromFixed(info->szDbaseName, &name))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::vector<cedb::SortOrder> orders;
    if (info->dwFlags & CEDB_VALIDSORTSPEC) {
        if (info->wNumSortOrder > CEDB_MAXSORTORDER) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
        for (WORD i = 0; i < info->wNumSortOrder; ++i) {
            cedb::SortOrder keys;
            if (!to_order(i, &keys)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
            orders.push_back(keys);
        }
    }
    DWORD type = (info->dwFlags & CEDB_VALIDTYPE) ? info->dwDbaseType : 0;
    DWORD flags = (info->dwFlags & CEDB_VALIDDBFLAGS) ? (info->dwFlags & CEDB_NOCOMPRESS) : 0;
    return CreateDatabase(g, name, type, flags, orders);
}

}  // namespace

extern "C" {

BOOL CeMountDBVol(PCEGUID pceguid, LPCWSTR lpszVol, DWORD dwFlags)
{
    ApiCall call;
    std::u16string path16;
    if (!pceguid || !lpszVol || !*lpszVol || !ToU16(lpszVol, 4096, &path16)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (dwFlags < CREATE_NEW || dwFlags > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    const std::string path = Utf8(path16);
    const std::string key = VolumeKey(path);
    for (auto& s : g_slots) {
        if (!s->vol || s->key != key) continue;
        // Mounted already in this process: share it, unless asked to start over.
        if (dwFlags == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, FALSE);
        if (dwFlags == CREATE_ALWAYS || dwFlags == TRUNCATE_EXISTING) return Fail(ERROR_SHARING_VIOLATION, FALSE);
        s->refs++;
        *pceguid = s->guid;
        return TRUE;
    }
    cedb::MountOptions opt;
    opt.mode = dwFlags;
    std::unique_ptr<cedb::Volume> vol;
    cedb::Status st = cedb::Volume::Mount(cedb::ServiceFileSystem(), path, opt, &vol);
    if (!st.ok()) return Fail(st.code, FALSE);
    VolumeSlot* slot = nullptr;
    size_t index = 0;
    for (; index < g_slots.size(); ++index)
        if (!g_slots[index]->vol) break;
    if (index == g_slots.size()) g_slots.emplace_back(new VolumeSlot);
    slot = g_slots[index].get();
    slot->vol = std::move(vol);
    slot->refs = 1;
    slot->key = key;
    slot->guid = CEGUID{static_cast<DWORD>(index + 1), kGuidMarker, ++g_serial, 0};
    slot->listeners = 0;
    Attach(slot);
    ++g_change_stamp;
    *pceguid = slot->guid;
    return TRUE;
}

BOOL CeUnmountDBVol(PCEGUID pceguid)
{
    ApiCall call;
    if (!pceguid || CHECK_SYSTEMGUID(pceguid)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    VolumeSlot* slot = Slot(pceguid);
    if (!slot) return FALSE;
    if (--slot->refs > 0) return TRUE;
    // Handles the program closed release their cursors before the volume goes.
    cedb::api::LiveApiHandles([slot](const HandleObject& obj) {
        auto h = dynamic_cast<const DbHandle*>(&obj);
        return h && h->slot == slot;
    });
    cedb::Status s = slot->vol->Unmount();
    slot->vol.reset();
    ++g_change_stamp;
    slot->key.clear();
    if (!s.ok()) return Fail(s.code, FALSE);
    return TRUE;
}

BOOL CeFlushDBVol(PCEGUID pceguid)
{
    ApiCall call;
    VolumeSlot* slot = Slot(pceguid);
    if (!slot) return FALSE;
    cedb::Status s = slot->vol->Flush();
    return s.ok() ? TRUE : Fail(s.code, FALSE);
}

CEOID CeCreateDatabaseEx(PCEGUID pceguid, CEDBASEINFO* info)
{
    ApiCall call;
    return CreateFromInfo(pceguid, info, [&](WORD i, cedb::SortOrder* keys) {
        keys->push_back(cedb::SortKey{info->rgSortSpecs[i].propid, info->rgSortSpecs[i].dwFlags & kSortFlagMask});
        return true;
    });
}

CEOID CeCreateDatabaseEx2(PCEGUID pceguid, CEDBASEINFOEX* info)
{
    ApiCall call;
    return CreateFromInfo(pceguid, info, [&](WORD i, cedb::SortOrder* keys) {
        const SORTORDERSPECEX& o = info->rgSortSpecs[i];
        if (o.wNumProps < 1 || o.wNumProps > CEDB_MAXSORTPROP) return false;
        for (WORD k = 0; k < o.wNumProps; ++k) keys->push_back(cedb::SortKey{o.rgPropID[k], o.rgdwFlags[k] & kSortFlagMask});
        return true;
    });
}

CEOID CeCreateDatabase(LPCWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder, SORTORDERSPEC* rgSortSpecs)
{
    ApiCall call;
    std::u16string name;
    if (!lpszName || !ToU16(lpszName, cedb::kMaxNameLength, &name) || wNumSortOrder > CEDB_MAXSORTORDER ||
        (wNumSortOrder && !rgSortSpecs))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::vector<cedb::SortOrder> orders;
    for (WORD i = 0; i < wNumSortOrder; ++i)
        orders.push_back({cedb::SortKey{rgSortSpecs[i].propid, rgSortSpecs[i].dwFlags & kSortFlagMask}});
    CEGUID system = {0, 0, 0, 0};
    return CreateDatabase(&system, name, dwDbaseType, 0, orders);
}

BOOL CeDeleteDatabaseEx(PCEGUID pceguid, CEOID oid)
{
    ApiCall call;
    return DeleteDatabase(pceguid, oid);
}

BOOL CeDeleteDatabase(CEOID oid)
{
    ApiCall call;
    CEGUID system = {0, 0, 0, 0};
    return DeleteDatabase(&system, oid);
}

HANDLE CeOpenDatabaseEx(PCEGUID pceguid, PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags,
                        CENOTIFYREQUEST* req)
{
    ApiCall call;
    g_opens++;
    HWND hwnd = nullptr;
    bool ex = false;
    HANDLE heap = nullptr;
    DWORD param = 0;
    if (req) {
        // The handheld's structure is 20 bytes; accept that size and ours.
        if (req->dwSize < 20) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
        hwnd = req->hwnd;
        ex = (req->dwFlags & CEDB_EXNOTIFICATION) != 0;
        if (req->dwSize >= sizeof(CENOTIFYREQUEST)) {
            heap = req->hHeap;
            param = req->dwParam;
        }
    }
    return OpenDatabase(pceguid, poid, lpszName, propid, dwFlags, hwnd, ex, heap, param);
}

HANDLE CeOpenDatabase(PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags, HWND hwndNotify)
{
    ApiCall call;
    g_opens++;
    CEGUID system = {0, 0, 0, 0};
    return OpenDatabase(&system, poid, lpszName, propid, dwFlags, hwndNotify, false, nullptr, 0);
}

CEOID CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals, LPDWORD lpdwIndex)
{
    ApiCall call;
    auto h = Db(hDatabase);
    if (!h) return 0;
    std::vector<cedb::Prop> values;
    int64_t value = 0;
    switch (dwSeekType) {
    case CEDB_SEEK_CEOID: value = static_cast<DWORD>(dwValue); break;
    case CEDB_SEEK_BEGINNING: case CEDB_SEEK_CURRENT: case CEDB_SEEK_END:
        value = static_cast<LONG>(static_cast<DWORD>(dwValue));
        break;
    case CEDB_SEEK_VALUESMALLER: case CEDB_SEEK_VALUEFIRSTEQUAL: case CEDB_SEEK_VALUEGREATER:
    case CEDB_SEEK_VALUENEXTEQUAL: case CEDB_SEEK_VALUESMALLEROREQUAL: case CEDB_SEEK_VALUEGREATEROREQUAL: {
        const CEPROPVAL* vals = reinterpret_cast<const CEPROPVAL*>(dwValue);
        if (!vals || wNumVals == 0 || wNumVals > CEDB_MAXSORTPROP) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
        for (WORD i = 0; i < wNumVals; ++i) {
            cedb::Prop p;
            if (!ToProp(vals[i], &p)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
            values.push_back(std::move(p));
        }
        break;
    }
    default: return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    }
    uint32_t index = 0;
    CEOID oid = h->slot->vol->Seek(&h->cursor, dwSeekType, value, values, lpdwIndex ? &index : nullptr);
    if (oid && lpdwIndex) *lpdwIndex = index;
    if (!oid) SetLastError(ERROR_NO_MORE_ITEMS);
    return oid;
}

CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex)
{
    return CeSeekDatabaseEx(hDatabase, dwSeekType, dwValue, 1, lpdwIndex);
}

CEOID CeReadRecordPropsEx(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                          LPDWORD lpcbBuffer, HANDLE hHeap)
{
    ApiCall call;
    auto h = Db(hDbase);
    if (!h) return 0;
    if (!lpcPropID || (rgPropID && *lpcPropID == 0)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    const cedb::Record* rec = h->slot->vol->Current(&h->cursor);
    if (!rec) return Fail<CEOID>(ERROR_NO_MORE_ITEMS, 0);
    const CEOID oid = h->cursor.oid;
    static thread_local std::vector<cedb::Prop> props;  // keeps its buffers between reads
    if (!cedb::Volume::RecordProps(*rec, &props)) return Fail<CEOID>(ERROR_FILE_CORRUPT, 0);

    // The chosen list, in the caller's order; missing ones are flagged.
    // Kept between reads like props: a bulk pass would otherwise spend
    // more on the heap than on the records.
    static thread_local std::vector<const cedb::Prop*> chosen;
    static thread_local std::vector<CEPROPID> ids;
    chosen.clear();
    ids.clear();
    if (rgPropID) {
        for (WORD i = 0; i < *lpcPropID; ++i) {
            ids.push_back(rgPropID[i]);
            chosen.push_back(cedb::FindProp(props, rgPropID[i]));
        }
    } else {
        for (const cedb::Prop& p : props) {
            ids.push_back(p.id);
            chosen.push_back(&p);
        }
    }
    if (chosen.size() > 0xFFFF) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    size_t need = Align8(chosen.size() * sizeof(CEPROPVAL));
    for (const cedb::Prop* p : chosen)
        if (p) need += DataBytes(*p);
    if (need > 0xFFFFFFFFu) return Fail<CEOID>(ERROR_NOT_ENOUGH_MEMORY, 0);

    if (lplpBuffer) {
        DWORD have = lpcbBuffer ? *lpcbBuffer : 0;
        if (!*lplpBuffer || have < need) {
            if (!(dwFlags & CEDB_ALLOWREALLOC)) {
                if (lpcbBuffer) *lpcbBuffer = static_cast<DWORD>(need);
                return Fail<CEOID>(ERROR_INSUFFICIENT_BUFFER, 0);
            }
            void* mem;
#ifdef _WIN32
            if (hHeap) mem = *lplpBuffer ? HeapReAlloc(hHeap, 0, *lplpBuffer, need) : HeapAlloc(hHeap, 0, need);
            else
#else
            (void)hHeap;
#endif
                mem = *lplpBuffer ? LocalReAlloc(*lplpBuffer, need, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, need);
            if (!mem) return Fail<CEOID>(ERROR_NOT_ENOUGH_MEMORY, 0);
            *lplpBuffer = static_cast<LPBYTE>(mem);
            if (lpcbBuffer) *lpcbBuffer = static_cast<DWORD>(need);
        }
        CEPROPVAL* vals = reinterpret_cast<CEPROPVAL*>(*lplpBuffer);
        BYTE* data = *lplpBuffer + Align8(chosen.size() * sizeof(CEPROPVAL));
        for (size_t i = 0; i < chosen.size(); ++i) {
            if (chosen[i]) {
                FromProp(*chosen[i], &vals[i], &data);
            } else {
                std::memset(&vals[i], 0, sizeof vals[i]);
                vals[i].propid = ids[i];
                vals[i].wFlags = CEDB_PROPNOTFOUND;
            }
        }
    }
    *lpcPropID = static_cast<WORD>(chosen.size());
    if (h->autoincrement) h->slot->vol->Advance(&h->cursor);
    SetLastError(ERROR_SUCCESS);
    return oid;
}

CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                        LPDWORD lpcbBuffer)
{
    return CeReadRecordPropsEx(hDbase, dwFlags, lpcPropID, rgPropID, lplpBuffer, lpcbBuffer, nullptr);
}

CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal)
{
    ApiCall call;
    auto h = Db(hDbase);
    if (!h) return 0;
    if (cPropID && !rgPropVal) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    // Reused between calls so that steady writing allocates little.
    static thread_local std::vector<cedb::Prop> props;
    std::vector<uint32_t> deletes;
    size_t n = 0;
    for (WORD i = 0; i < cPropID; ++i) {
        if (rgPropVal[i].wFlags & CEDB_PROPDELETE) {
            deletes.push_back(rgPropVal[i].propid);
            continue;
        }
        if (n == props.size()) props.emplace_back();
        cedb::Prop& p = props[n++];
        p.s.clear();
        p.blob.clear();
        if (!ToProp(rgPropVal[i], &p)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    }
    props.resize(n);
    uint32_t oid = 0;
    cedb::Status s = h->slot->vol->WriteRecord(h->cursor.db, oidRecord, props, deletes, &oid);
    if (!s.ok()) return Fail<CEOID>(s.code, 0);
    return AfterChange(h->slot) ? oid : 0;
}

BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord)
{
    ApiCall call;
    auto h = Db(hDatabase);
    if (!h) return FALSE;
    cedb::Status s = h->slot->vol->DeleteRecord(h->cursor.db, oidRecord);
    if (!s.ok()) return Fail(s.code, FALSE);
    return AfterChange(h->slot) ? TRUE : FALSE;
}

HANDLE CeFindFirstDatabaseEx(PCEGUID pceguid, DWORD dwDbaseType)
{
    ApiCall call;
    return FindFirst(pceguid, dwDbaseType);
}

CEOID CeFindNextDatabaseEx(HANDLE hEnum, PCEGUID)
{
    ApiCall call;
    return FindNext(hEnum);
}

HANDLE CeFindFirstDatabase(DWORD dwDbaseType)
{
    ApiCall call;
    CEGUID system = {0, 0, 0, 0};
    return FindFirst(&system, dwDbaseType);
}

CEOID CeFindNextDatabase(HANDLE hEnum)
{
    ApiCall call;
    return FindNext(hEnum);
}

BOOL CeOidGetInfoEx(PCEGUID pceguid, CEOID oid, CEOIDINFO* info)
{
    ApiCall call;
    return OidGetInfo(pceguid, oid, info, FillInfo);
}

BOOL CeOidGetInfoEx2(PCEGUID pceguid, CEOID oid, CEOIDINFOEX* info)
{
    ApiCall call;
    BOOL ok = OidGetInfo(pceguid, oid, info, FillInfoEx);
    if (ok) info->wVersion = CEOIDINFOEX_VERSION;
    return ok;
}

BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* info)
{
    ApiCall call;
    CEGUID system = {0, 0, 0, 0};
    return OidGetInfo(&system, oid, info, FillInfo);
}

BOOL CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotify)
{
    if (!pNotify) return Fail(ERROR_INVALID_PARAMETER, FALSE);
#ifdef _WIN32
    if (pRequest && pRequest->dwSize >= sizeof(CENOTIFYREQUEST) && pRequest->hHeap) {
        HeapFree(pRequest->hHeap, 0, pNotify);
        return TRUE;
    }
#else
    (void)pRequest;
#endif
    LocalFree(pNotify);
    return TRUE;
}

}  // extern "C"

void CedbBeginObjectStoreBulk()
{
    ApiCall call;
    ++g_object_store_bulk;
}

BOOL CedbEndObjectStoreBulk()
{
    ApiCall call;
    if (g_object_store_bulk == 0 || --g_object_store_bulk > 0 || !g_object_store.vol) return TRUE;
    cedb::Status s = g_object_store.vol->Flush();
    return s.ok() ? TRUE : Fail(s.code, FALSE);
}

CedbCallCounts CedbGetCallCounts() { return CedbCallCounts{g_calls.load(), g_opens.load()}; }

unsigned long long CedbChangeStamp() { return g_change_stamp.load(); }
