// Memory for the kept lines of a list held in memory. Each grouping thread
// reserves a partition's most at the top of a chain of large regions of its
// own, which may be backed by huge pages, and gives back what the
// partition did not fill, so that the next partition's lines follow right
// after: the runs fill fresh memory with a fault of the kernel per 2 MiB
// instead of one per 4 KiB page, and nothing is copied to grow. Everything
// goes back when the arena goes, once the list is written.
#pragma once

#include <cstddef>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "os/MappedRegion.h"

namespace lintrim {

class KeptArena {
public:
    // Regions of `regionBytes` (a multiple of a huge page) at least.
    KeptArena(size_t regionBytes, bool hugePages)
        : m_regionBytes(regionBytes), m_hugePages(hugePages) {}

    // Room for `bytes` at the top of the calling thread's chain.
    char* Reserve(size_t bytes);
    // Of the room the calling thread reserved last, at `at`, keeps `used`
    // bytes and gives back the rest.
    void Keep(const char* at, size_t used);

private:
    struct Chain {
        std::vector<MappedRegion> regions;
        size_t top = 0;  // bytes of the last region taken
    };
    Chain& ThreadChain();

    size_t m_regionBytes;
    bool m_hugePages;
    std::mutex m_lock;
    std::unordered_map<std::thread::id, Chain> m_chains;
};

}  // namespace lintrim
