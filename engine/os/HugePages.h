// Huge pages for the heap. A run touches every page of its partitions,
// tables and runs once, right after taking them; with 4 KiB pages a fifth
// of a run in memory went to the kernel's first touch of fresh pages. Where
// transparent huge pages are given on request (the usual "madvise" setting),
// glibc's allocator asks for them when its tunable says so, and tunables
// are read only when a program starts: so the program starts once more with
// the tunable set, before it has done anything else.
#pragma once

#include <cstdint>

// Call before the program has done anything else, with the run's memory
// budget (0: the engine's default). Returns when the program runs with the
// tunable set, or when it cannot start again (it then runs as it is), or
// when the budget is too small for pages of 2 MiB to pay.
void StartWithHugePages(char** argv, uint64_t budget = 0);
