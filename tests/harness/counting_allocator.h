// A test program that links counting_allocator.cpp gets the C library's
// malloc, calloc, realloc and free counted, and chosen calls refused, so
// that a leaked block and an allocation that fails show.
#pragma once

extern long liveBlocks;               // allocated and not yet freed
extern unsigned refusedAllocations;   // bit k: the k-th calloc or realloc from now on fails
extern int allocationsSeen;           // calloc and realloc calls since the count was last set to 0

// Refuses the calloc and realloc calls whose bits are set, counting from the next one.
inline void RefuseAllocations(unsigned pattern)
{
    refusedAllocations = pattern;
    allocationsSeen = 0;
}
