#include "platform/cedb/native/win_types.h"

#include <cstdlib>
#include <cstring>

#include "platform/cedb/handle_table.h"

namespace {
thread_local DWORD t_last_error = 0;
NativeMessageSink g_sink = nullptr;

// Local memory blocks carry their size in front, as LocalReAlloc needs it.
struct Block {
    size_t size;
    alignas(16) unsigned char data[1];
};
constexpr size_t kOverhead = offsetof(Block, data);
}  // namespace

DWORD GetLastError(void) { return t_last_error; }
void SetLastError(DWORD err) { t_last_error = err; }

HLOCAL LocalAlloc(UINT flags, size_t bytes)
{
    Block* b = static_cast<Block*>(std::malloc(kOverhead + (bytes ? bytes : 1)));
    if (!b) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    b->size = bytes;
    if (flags & LMEM_ZEROINIT) std::memset(b->data, 0, bytes);
    return b->data;
}

HLOCAL LocalReAlloc(HLOCAL mem, size_t bytes, UINT flags)
{
    if (!mem) return LocalAlloc(flags, bytes);
    Block* old = reinterpret_cast<Block*>(static_cast<unsigned char*>(mem) - kOverhead);
    size_t old_size = old->size;
    Block* b = static_cast<Block*>(std::realloc(old, kOverhead + (bytes ? bytes : 1)));
    if (!b) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    b->size = bytes;
    if ((flags & LMEM_ZEROINIT) && bytes > old_size) std::memset(b->data + old_size, 0, bytes - old_size);
    return b->data;
}

HLOCAL LocalFree(HLOCAL mem)
{
    if (mem) std::free(static_cast<unsigned char*>(mem) - kOverhead);
    return nullptr;
}

BOOL CloseHandle(HANDLE h)
{
    if (cedb::api::CloseApiHandle(h)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!g_sink || !hwnd) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    g_sink(hwnd, msg, wParam, lParam);
    return TRUE;
}

void SetNativeMessageSink(NativeMessageSink sink) { g_sink = sink; }
