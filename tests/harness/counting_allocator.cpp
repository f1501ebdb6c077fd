#include "tests/harness/counting_allocator.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

long liveBlocks;
unsigned refusedAllocations;
int allocationsSeen;

namespace {

bool Refused()
{
    return (refusedAllocations >> std::min(allocationsSeen++, 31)) & 1u;
}

template <class Function>
Function Library(Function* slot, const char* name)
{
    // No guarded static: the guard may allocate and come back here.
    if (!*slot)
        *slot = reinterpret_cast<Function>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), name)));
    return *slot;
}
void* (*libraryMalloc)(size_t);
void* (*libraryCalloc)(size_t, size_t);
void* (*libraryRealloc)(void*, size_t);
void (*libraryFree)(void*);

}  // namespace

extern "C" void* malloc(size_t bytes)
{
    void* block = Library(&libraryMalloc, "malloc")(bytes);
    liveBlocks += block != nullptr;
    return block;
}

extern "C" void* calloc(size_t count, size_t bytes)
{
    void* block = Refused() ? nullptr : Library(&libraryCalloc, "calloc")(count, bytes);
    liveBlocks += block != nullptr;
    return block;
}

extern "C" void* realloc(void* block, size_t bytes)
{
    if (Refused())
        return nullptr;
    void* moved = Library(&libraryRealloc, "realloc")(block, bytes);
    // From nothing it makes a block; to no bytes it frees one.
    liveBlocks += (!block && moved) - (block && bytes == 0);
    return moved;
}

extern "C" void free(void* block)
{
    liveBlocks -= block != nullptr;
    Library(&libraryFree, "free")(block);
}
