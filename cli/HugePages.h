// Huge pages for the heap of a run held in memory. Such a run touches every
// page of its partitions, tables and runs once, right after taking them;
// with 4 KiB pages a fifth of it went to the kernel's first touch of fresh
// pages. Where transparent huge pages are given on request (the usual
// "madvise" setting), glibc's allocator asks for them when its tunable says
// so, and tunables are read only when a program starts: so the program
// starts once more with the tunable set, before it has done anything else.
// A run that spills is left with small pages: there its memory is freed and
// taken again all along, and the kernel's compaction for huge pages made it
// slower (47 s against 38 s on 100 million lines under --memory 256M).
#pragma once

#include <cstdint>

// Call before the program has done anything else, with the run's memory
// budget (0: the engine's default) and the bytes of the largest list it
// cleans at once (0: unknown, as for standard input). Returns when the
// program runs with the tunable set, or when huge pages would not pay, or
// when it cannot start again (it then runs as it is).
void StartWithHugePages(char** argv, uint64_t budget, uint64_t listBytes);
