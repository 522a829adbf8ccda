// A diagnostic registry of heap blocks. Blocks taken through TrackedAlloc are
// recorded with their size and source location; TrackedRelease, which is the
// program's global release operator, drops the record of every block it frees;
// WriteLeakReport lists the blocks never released in "memoryleaks.txt".
//
// The registry's own nodes come straight from malloc/free, never from the global
// operator new/delete, so that releasing through the tracker cannot recurse into it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>

#include "AllocRecord.h"

class AllocationTracker {
public:
    AllocationTracker() = default;
    AllocationTracker(const AllocationTracker&) = delete;
    AllocationTracker& operator=(const AllocationTracker&) = delete;
    ~AllocationTracker();

    // The process-wide registry, or null while nothing has been tracked.
    static AllocationTracker* Registry() noexcept;
    // The process-wide registry, created on first use and never destroyed.
    static AllocationTracker& Instance() noexcept;

    // Puts a record in front of all others; false (and nothing recorded) when
    // the heap has no room for the record.
    bool Record(const void* block, std::size_t size, const char* file, int line) noexcept;
    // Removes the newest record of `block`; false when there is none.
    bool Remove(const void* block) noexcept;
    std::size_t Count() const noexcept;
    // Writes every record, newest first, then the separator and the total.
    void WriteReport(std::FILE* out) const noexcept;

private:
    struct Node;

    mutable std::mutex m_mutex;
    Node* m_front = nullptr;
    std::size_t m_count = 0;
};

// Takes `size` bytes from malloc and records them; null, with nothing
// recorded, when malloc cannot satisfy the request.
void* TrackedAlloc(std::size_t size, const char* file, int line) noexcept;
// Drops the newest record of `block`, if any, and frees it.
void TrackedRelease(void* block) noexcept;
// Writes the process-wide registry to "memoryleaks.txt" in the current folder.
void WriteLeakReport() noexcept;
// Writes the report of `registry` to `path`; a null registry gives an empty file.
// An unwritable path is ignored: a diagnostic must not disturb the program.
void WriteLeakReport(const AllocationTracker* registry, const char* path) noexcept;
