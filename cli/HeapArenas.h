// The allocator's arenas under a small budget. glibc gives each thread
// that allocates its own arena, and each arena keeps what was freed in it
// for its thread to take again: under a budget of a few megabytes the
// freed memory of the threads' arenas took a third of the budget again
// (34 MB against 26 MB on 30 million lines under --memory 16M). One arena
// for all threads costs little where the run's memory is small.
#pragma once

#include <cstdint>

// Call before the run starts its threads, with its memory budget (0: the
// engine's default, which is left as it is).
void LimitHeapArenas(uint64_t budget);
