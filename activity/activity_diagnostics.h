// Seams of the activity layer that only the tests use.
#pragma once
#include <cstddef>

// Where the reminders' handle and information buffers come from (malloc;
// freed with free). Tests swap it to run out of memory.
extern void* (*reminderAllocate)(size_t bytes);
