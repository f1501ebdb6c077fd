#include "platform/cedb/handle_table.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace cedb {
namespace api {
namespace {

std::mutex g_mutex;

#ifdef _WIN32
struct Entry {
    HANDLE dup;
    std::shared_ptr<HandleObject> obj;
};
std::unordered_map<HANDLE, Entry> g_table;
size_t g_sweep_at = 64;  // table size that triggers forgetting closed handles

typedef BOOL(WINAPI* CompareFn)(HANDLE, HANDLE);

CompareFn GetCompare()
{
    static CompareFn fn = [] {
        HMODULE mod = GetModuleHandleW(L"kernelbase.dll");
        FARPROC p = mod ? GetProcAddress(mod, "CompareObjectHandles") : nullptr;
        if (!p && (mod = GetModuleHandleW(L"kernel32.dll"))) p = GetProcAddress(mod, "CompareObjectHandles");
        return reinterpret_cast<CompareFn>(reinterpret_cast<void*>(p));
    }();
    return fn;
}

// The program's handle is alive while it still names the event we keep a
// duplicate of; a closed value may have been reused for another object.
bool Alive(HANDLE h, const Entry& e)
{
    DWORD flags;
    if (!GetHandleInformation(h, &flags)) return false;
    CompareFn cmp = GetCompare();
    return !cmp || cmp(h, e.dup);
}

// Objects are released by the caller after it lets go of the table's lock,
// since their destructors reach back into the service.
using Dropped = std::vector<std::shared_ptr<HandleObject>>;

void Forget(std::unordered_map<HANDLE, Entry>::iterator it, Dropped* dropped)
{
    CloseHandle(it->second.dup);
    dropped->push_back(std::move(it->second.obj));
    g_table.erase(it);
}
#else
std::unordered_map<HANDLE, std::shared_ptr<HandleObject>> g_table;
// Values of closed handles go out again first, as the kernel's do, so that
// both builds meet reused values.
std::vector<uintptr_t> g_closed;
uintptr_t g_next_value = 4;
#endif

}  // namespace

#ifdef _WIN32
HANDLE NewApiHandle(std::shared_ptr<HandleObject> obj)
{
    HANDLE h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!h) return nullptr;
    HANDLE dup = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &dup, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        CloseHandle(h);
        return nullptr;
    }
    Dropped dropped;
    std::lock_guard<std::mutex> lock(g_mutex);
    auto old = g_table.find(h);
    if (old != g_table.end()) Forget(old, &dropped);  // its handle was closed and the value reused
    // The kernel closes handles without telling us; look for closed ones
    // whenever the table has doubled, so their objects do not pile up.
    if (g_table.size() >= g_sweep_at) {
        for (auto it = g_table.begin(); it != g_table.end();) {
            auto cur = it++;
            if (!Alive(cur->first, cur->second)) Forget(cur, &dropped);
        }
        g_sweep_at = g_table.size() * 2 > 64 ? g_table.size() * 2 : 64;
    }
    g_table[h] = Entry{dup, std::move(obj)};
    return h;
}

std::shared_ptr<HandleObject> LookupApiHandle(HANDLE h)
{
    // Asking the kernel whether h is still open costs two server round trips
    // under Wine, more than the engine's work for a read; closes are noticed
    // on the cold paths instead.
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_table.find(h);
    return it == g_table.end() ? nullptr : it->second.obj;
}

bool CloseApiHandle(HANDLE h)
{
    Dropped dropped;
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_table.find(h);
    if (it == g_table.end()) return false;
    Forget(it, &dropped);
    return CloseHandle(h) != FALSE;
}

std::vector<std::shared_ptr<HandleObject>> LiveApiHandles(const std::function<bool(const HandleObject&)>& wanted)
{
    Dropped dropped;
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<std::shared_ptr<HandleObject>> out;
    for (auto it = g_table.begin(); it != g_table.end();) {
        auto cur = it++;
        if (!wanted(*cur->second.obj)) continue;
        if (Alive(cur->first, cur->second)) out.push_back(cur->second.obj);
        else Forget(cur, &dropped);
    }
    return out;
}
#else
HANDLE NewApiHandle(std::shared_ptr<HandleObject> obj)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    uintptr_t value = g_next_value;
    if (g_closed.empty()) {
        g_next_value += 4;
    } else {
        value = g_closed.back();
        g_closed.pop_back();
    }
    HANDLE h = reinterpret_cast<HANDLE>(value);
    g_table[h] = std::move(obj);
    return h;
}

std::shared_ptr<HandleObject> LookupApiHandle(HANDLE h)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_table.find(h);
    return it == g_table.end() ? nullptr : it->second;
}

bool CloseApiHandle(HANDLE h)
{
    std::shared_ptr<HandleObject> obj;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = g_table.find(h);
        if (it == g_table.end()) return false;
        obj = std::move(it->second);
        g_table.erase(it);
        g_closed.push_back(reinterpret_cast<uintptr_t>(h));
    }
    return true;  // obj is released here, outside the lock
}

std::vector<std::shared_ptr<HandleObject>> LiveApiHandles(const std::function<bool(const HandleObject&)>& wanted)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<std::shared_ptr<HandleObject>> out;
    for (auto& kv : g_table)
        if (wanted(*kv.second)) out.push_back(kv.second);
    return out;
}
#endif

}  // namespace api
}  // namespace cedb
