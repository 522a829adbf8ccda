// The memory of the partitions' slabs, for a run held in memory: taken
// from the system in large regions that may be backed by huge pages, so
// that filling the partitions costs the kernel one fault per 2 MiB instead
// of one per 4 KiB page. Neighbouring partitions share a band, a chain of
// regions filled in turn; once every partition of a band has been grouped,
// its regions go back to the system, so that the runs grouping makes take
// the place of the records they were made from.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "os/MappedRegion.h"

namespace lintrim {

class SlabArena {
public:
    // `partitions` share `bands` bands, each a chain of regions of
    // `regionBytes` (a multiple of a huge page).
    SlabArena(unsigned partitions, unsigned bands, size_t regionBytes, bool hugePages);

    // Room for a slab of `bytes` for partition p, or nullptr for a slab
    // larger than a region, which is left to the heap. Any thread may take
    // slabs for any partition.
    char* Take(size_t p, size_t bytes);
    // Partition p's slabs are spent: the last partition of a band to be
    // spent gives the band's regions back.
    void Spent(size_t p);
    // Every slab is spent, as after a spill; the regions are kept, to be
    // filled again.
    void Reuse();
    // The bytes of the regions the bands hold.
    uint64_t HeldBytes();

private:
    struct Band {
        std::mutex lock;
        std::vector<MappedRegion> regions;
        size_t filling = 0;             // the region slabs are taken from
        size_t used = 0;                // its bytes taken
        std::atomic<unsigned> live{0};  // partitions not yet spent
    };
    Band& BandOf(size_t p) { return m_bands[p * m_bandCount / m_partitions]; }

    unsigned m_partitions;
    unsigned m_bandCount;
    size_t m_regionBytes;
    bool m_hugePages;
    std::unique_ptr<Band[]> m_bands;
};

}  // namespace lintrim
