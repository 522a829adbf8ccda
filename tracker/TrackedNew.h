// Tagged allocation for the diagnostic build. `LINTRIM_NEW T(args)` is a
// plain `new` normally; with LINTRIM_TRACK_ALLOCATIONS it passes the source
// file and line to TrackedAlloc, so a block never deleted appears in
// "memoryleaks.txt". Release stays an ordinary delete: the global release
// operator already drops the record.
//
// A macro over `new` itself is avoided on purpose: it would rewrite placement
// new and the standard headers.
#pragma once

#include <cstddef>
#include <new>

#include "AllocationTracker.h"

inline void* operator new(std::size_t size, const char* file, int line) {
    if (void* block = TrackedAlloc(size, file, line)) {
        return block;
    }
    throw std::bad_alloc();
}

inline void* operator new[](std::size_t size, const char* file, int line) {
    return operator new(size, file, line);
}

// Called only when a constructor throws after a tagged allocation.
inline void operator delete(void* block, const char*, int) noexcept {
    TrackedRelease(block);
}
inline void operator delete[](void* block, const char*, int) noexcept {
    TrackedRelease(block);
}

// malloc gives only the default alignment: refuse over-aligned types at
// compile time rather than hand them a misaligned block.
void* operator new(std::size_t, std::align_val_t, const char*, int) = delete;
void* operator new[](std::size_t, std::align_val_t, const char*, int) = delete;

#if LINTRIM_TRACK_ALLOCATIONS
#define LINTRIM_NEW new (__FILE__, __LINE__)
#else
#define LINTRIM_NEW new
#endif
