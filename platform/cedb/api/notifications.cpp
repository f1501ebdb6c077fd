#include "platform/cedb/api/notifications.h"

#include <atomic>

#include "platform/cedb/api/api_call.h"
#include "platform/cedb/change_stamp.h"

using cedb::api::Fail;

namespace cedb {
namespace api {

namespace {

std::atomic<unsigned long long> g_change_stamp{1};

}  // namespace

void DeliverNotification(VolumeSlot* slot, Change ch, uint32_t db, uint32_t oid)
{
    ++g_change_stamp;
    UINT type = DB_CEOID_CHANGED;
    bool record = true;
    switch (ch) {
    case Change::kRecordCreated: type = DB_CEOID_CREATED; break;
    case Change::kRecordChanged: type = DB_CEOID_CHANGED; break;
    case Change::kRecordDeleted: type = DB_CEOID_RECORD_DELETED; break;
    case Change::kDatabaseCreated: type = DB_CEOID_CREATED; record = false; break;
    case Change::kDatabaseDeleted: type = DB_CEOID_DATABASE_DELETED; record = false; break;
    }
    if (slot->listeners <= 0) return;
    // Only the handles that would hear of it are checked for being closed.
    auto hears = [&](const HandleObject& obj) {
        auto h = dynamic_cast<const DbHandle*>(&obj);
        return h && h->slot == slot && h->serial == slot->guid.Data3 && h->hwnd && (!record || h->db == db);
    };
    for (auto& obj : LiveApiHandles(hears)) {
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

void NoteVolumeChange() { ++g_change_stamp; }

}  // namespace api
}  // namespace cedb

extern "C" BOOL CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotify)
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

unsigned long long CedbChangeStamp() { return cedb::api::g_change_stamp.load(); }
