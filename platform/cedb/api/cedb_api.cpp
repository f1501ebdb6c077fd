// The platform's database calls over the engine. Every call takes one
// process-wide lock (api_call.h), so the service is safe to call from any
// thread. Beside this file: the mounted volumes (volume_registry.*), change
// notifications (notifications.*), value conversions (conversions.*) and the
// information structures (info_structures.*).
#include "platform/cedb/windbase.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/cedb/api/api_call.h"
#include "platform/cedb/api/conversions.h"
#include "platform/cedb/api/info_structures.h"
#include "platform/cedb/api/read_faults.h"
#include "platform/cedb/api/volume_registry.h"
#include "platform/cedb/call_counts.h"
#include "platform/unicode/utf8.h"

using namespace cedb::api;

namespace cedb {
namespace api {

std::recursive_mutex g_api;
std::atomic<long> g_calls{0}, g_opens{0};

}  // namespace api
}  // namespace cedb

namespace {

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
    HANDLE out = NewApiHandle(h);
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
    HANDLE out = NewApiHandle(e);
    return out ? out : Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
}

CEOID FindNext(HANDLE h)
{
    auto e = std::dynamic_pointer_cast<EnumHandle>(LookupApiHandle(h));
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
    if (!LiveApiHandles(opens_it).empty()) return Fail(ERROR_SHARING_VIOLATION, FALSE);
    cedb::Status s = slot->vol->DeleteDatabase(oid);
    if (!s.ok()) return Fail(s.code, FALSE);
    return AfterChange(slot) ? TRUE : FALSE;
}

// Both information forms: the valid-field flags say what to take.
template <class Info>
CEOID CreateFromInfo(const CEGUID* g, const Info* info)
{
    std::u16string name;
    if (!info || !(info->dwFlags & CEDB_VALIDNAME) || !NameFromFixed(info->szDbaseName, &name))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::vector<cedb::SortOrder> orders;
    if (info->dwFlags & CEDB_VALIDSORTSPEC) {
        if (info->wNumSortOrder > CEDB_MAXSORTORDER) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
        for (WORD i = 0; i < info->wNumSortOrder; ++i) {
            cedb::SortOrder keys;
            if (!SortOrderFromDescription(info->rgSortSpecs[i], &keys)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
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
    std::u16string path;
    if (!pceguid || !lpszVol || !*lpszVol || !ToU16(lpszVol, 4096, &path)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (dwFlags < CREATE_NEW || dwFlags > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return MountVolume(pceguid, unicode::Utf16ToUtf8(path), dwFlags);
}

BOOL CeUnmountDBVol(PCEGUID pceguid)
{
    ApiCall call;
    if (!pceguid || CHECK_SYSTEMGUID(pceguid)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return UnmountVolume(pceguid);
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
    return CreateFromInfo(pceguid, info);
}

CEOID CeCreateDatabaseEx2(PCEGUID pceguid, CEDBASEINFOEX* info)
{
    ApiCall call;
    return CreateFromInfo(pceguid, info);
}

CEOID CeCreateDatabase(LPCWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder, SORTORDERSPEC* rgSortSpecs)
{
    ApiCall call;
    std::u16string name;
    if (!lpszName || !ToU16(lpszName, cedb::kMaxNameLength, &name) || wNumSortOrder > CEDB_MAXSORTORDER ||
        (wNumSortOrder && !rgSortSpecs))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::vector<cedb::SortOrder> orders;
    orders.resize(wNumSortOrder);
    for (WORD i = 0; i < wNumSortOrder; ++i) SortOrderFromDescription(rgSortSpecs[i], &orders[i]);
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

namespace {
CEOID g_unreadable = 0;
}

void CedbFailReadsOf(CEOID oid)
{
    ApiCall call;
    g_unreadable = oid;
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
    if (oid == g_unreadable || !cedb::Volume::RecordProps(*rec, &props)) return Fail<CEOID>(ERROR_FILE_CORRUPT, 0);

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

}  // extern "C"

CedbCallCounts CedbGetCallCounts() { return CedbCallCounts{g_calls.load(), g_opens.load()}; }
