#include "platform/cedb/api/volume_registry.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <thread>
#ifndef _WIN32
#include <climits>
#include <unistd.h>
#endif

#include "platform/cedb/api/api_call.h"
#include "platform/cedb/api/notifications.h"
#include "platform/cedb/object_store.h"
#include "platform/cedb/object_store_bulk.h"
#include "platform/unicode/utf8.h"

namespace cedb {
namespace api {
namespace {

constexpr DWORD kGuidMarker = 0x56544F56;  // tells our volume identifiers from random bits

std::vector<std::unique_ptr<VolumeSlot>> g_slots;
DWORD g_serial = 0;
VolumeSlot g_object_store;
int g_object_store_bulk = 0;  // open CedbBeginObjectStoreBulk calls

// Two spellings of one file must find the same mounted volume.
std::string VolumeKey(const std::string& path)
{
#ifdef _WIN32
    const std::wstring wide = unicode::Utf8ToWide(path);
    wchar_t full[MAX_PATH * 4];
    DWORD len = GetFullPathNameW(wide.c_str(), MAX_PATH * 4, full, nullptr);
    if (len == 0 || len >= MAX_PATH * 4) return path;
    CharLowerBuffW(full, len);
    return unicode::WideToUtf8(std::wstring_view(full, len));
#else
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (!realpath(dir.c_str(), resolved)) return path;
    return std::string(resolved) + "/" + base;
#endif
}

// Other processes' changes to the object store reach this one's listeners
// within a period even while the program makes no call: a thread takes them
// up (Volume::Refresh, one read when there are none) under the service's lock.
constexpr auto kRefreshPeriod = std::chrono::milliseconds(250);
std::mutex g_watch_mutex;
std::condition_variable g_watch_wake;
bool g_watch_stop = false;
std::thread* g_watch = nullptr;
#ifndef _WIN32
pid_t g_watch_pid = 0;  // a forked child has no such thread to wait for
#endif

void StopWatching()
{
#ifndef _WIN32
    if (getpid() != g_watch_pid) return;
#endif
    {
        std::lock_guard<std::mutex> lock(g_watch_mutex);
        g_watch_stop = true;
    }
    g_watch_wake.notify_all();
    g_watch->join();
}

void WatchObjectStore()
{
#ifndef _WIN32
    g_watch_pid = getpid();
#endif
    g_watch = new std::thread([] {
        std::unique_lock<std::mutex> lock(g_watch_mutex);
        while (!g_watch_wake.wait_for(lock, kRefreshPeriod, [] { return g_watch_stop; })) {
            lock.unlock();
            {
                std::lock_guard<std::recursive_mutex> api(g_api);
                if (g_object_store.vol) g_object_store.vol->Refresh();
            }
            lock.lock();
        }
    });
    // Runs before the statics the thread uses are destroyed.
    std::atexit(StopWatching);
}

void Attach(VolumeSlot* slot)
{
    slot->vol->SetObserver([slot](Change ch, uint32_t db, uint32_t oid) { DeliverNotification(slot, ch, db, oid); });
}

VolumeSlot* ObjectStore()
{
    if (g_object_store.vol) return &g_object_store;
    std::string folder = ObjectStoreFolder();
    if (!EnsureFolder(folder)) return Fail<VolumeSlot*>(ERROR_ACCESS_DENIED, nullptr);
    MountOptions opt;
    opt.mode = kOpenAlways;
    opt.shared = true;  // every program on the device has it open at once
    std::unique_ptr<Volume> vol;
    Status s = Volume::Mount(ServiceFileSystem(), ObjectStorePath(), opt, &vol);
    if (!s.ok()) return Fail<VolumeSlot*>(s.code, nullptr);
    g_object_store.vol = std::move(vol);
    g_object_store.object_store = true;
    g_object_store.guid.Data3 = ++g_serial;
    Attach(&g_object_store);
    if (!g_watch) WatchObjectStore();
    return &g_object_store;
}

// A free slot for a new mount, reusing one whose volume was unmounted.
VolumeSlot* FreeSlot(size_t* index)
{
    for (*index = 0; *index < g_slots.size(); ++*index)
        if (!g_slots[*index]->vol) return g_slots[*index].get();
    g_slots.emplace_back(new VolumeSlot);
    return g_slots.back().get();
}

}  // namespace

DbHandle::~DbHandle()
{
    std::lock_guard<std::recursive_mutex> lock(g_api);
    if (!Valid()) return;
    slot->vol->CloseCursor(&cursor);
    if (hwnd) slot->listeners--;
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

std::shared_ptr<DbHandle> Db(HANDLE h)
{
    auto obj = std::dynamic_pointer_cast<DbHandle>(LookupApiHandle(h));
    if (!obj || !obj->Valid() || !obj->cursor.db) return Fail<std::shared_ptr<DbHandle>>(ERROR_INVALID_HANDLE, nullptr);
    return obj;
}

BOOL MountVolume(PCEGUID guid, const std::string& path, DWORD mode)
{
    const std::string key = VolumeKey(path);
    for (auto& s : g_slots) {
        if (!s->vol || s->key != key) continue;
        // Mounted already in this process: share it, unless asked to start over.
        if (mode == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, FALSE);
        if (mode == CREATE_ALWAYS || mode == TRUNCATE_EXISTING) return Fail(ERROR_SHARING_VIOLATION, FALSE);
        s->refs++;
        *guid = s->guid;
        return TRUE;
    }
    MountOptions opt;
    opt.mode = mode;
    std::unique_ptr<Volume> vol;
    Status st = Volume::Mount(ServiceFileSystem(), path, opt, &vol);
    if (!st.ok()) return Fail(st.code, FALSE);
    size_t index = 0;
    VolumeSlot* slot = FreeSlot(&index);
    slot->vol = std::move(vol);
    slot->refs = 1;
    slot->key = key;
    slot->guid = CEGUID{static_cast<DWORD>(index + 1), kGuidMarker, ++g_serial, 0};
    slot->listeners = 0;
    Attach(slot);
    NoteVolumeChange();
    *guid = slot->guid;
    return TRUE;
}

BOOL UnmountVolume(PCEGUID guid)
{
    VolumeSlot* slot = Slot(guid);
    if (!slot) return FALSE;
    if (--slot->refs > 0) return TRUE;
    // Handles the program closed release their cursors before the volume goes.
    LiveApiHandles([slot](const HandleObject& obj) {
        auto h = dynamic_cast<const DbHandle*>(&obj);
        return h && h->slot == slot;
    });
    Status s = slot->vol->Unmount();
    slot->vol.reset();
    NoteVolumeChange();
    slot->key.clear();
    if (!s.ok()) return Fail(s.code, FALSE);
    return TRUE;
}

bool AfterChange(VolumeSlot* slot)
{
    if (!slot->object_store || g_object_store_bulk > 0) return true;
    Status s = slot->vol->Flush();
    if (!s.ok()) SetLastError(s.code);
    return s.ok();
}

}  // namespace api
}  // namespace cedb

using namespace cedb::api;

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
