// Bump allocation within each band's current region, under the band's lock
// (taken once a slab, not once a record).
#include "partition/SlabArena.h"

namespace lintrim {

SlabArena::SlabArena(unsigned partitions, unsigned bands, size_t regionBytes, bool hugePages)
    : m_partitions(partitions),
      m_bandCount(bands),
      m_regionBytes(regionBytes),
      m_hugePages(hugePages),
      m_bands(std::make_unique<Band[]>(bands)) {
    for (size_t p = 0; p < partitions; ++p) ++BandOf(p).live;
}

char* SlabArena::Take(size_t p, size_t bytes) {
    if (bytes > m_regionBytes) return nullptr;
    Band& band = BandOf(p);
    const std::lock_guard hold(band.lock);
    if (!band.regions.empty() && m_regionBytes - band.used < bytes) {
        ++band.filling;
        band.used = 0;
    }
    if (band.filling == band.regions.size()) band.regions.emplace_back(m_regionBytes, m_hugePages);
    char* slab = band.regions[band.filling].Data() + band.used;
    band.used += bytes;
    return slab;
}

void SlabArena::Spent(size_t p) {
    Band& band = BandOf(p);
    if (band.live.fetch_sub(1) != 1) return;
    const std::lock_guard hold(band.lock);
    std::vector<MappedRegion>().swap(band.regions);
    band.filling = 0;
    band.used = 0;
}

void SlabArena::Reuse() {
    for (unsigned b = 0; b < m_bandCount; ++b) {
        const std::lock_guard hold(m_bands[b].lock);
        m_bands[b].filling = 0;
        m_bands[b].used = 0;
    }
}

uint64_t SlabArena::HeldBytes() {
    uint64_t held = 0;
    for (unsigned b = 0; b < m_bandCount; ++b) {
        const std::lock_guard hold(m_bands[b].lock);
        held += m_bands[b].regions.size() * m_regionBytes;
    }
    return held;
}

}  // namespace lintrim
