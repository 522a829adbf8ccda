// A chain a thread; the lock guards only the map of chains.
#include "group/KeptArena.h"

#include <algorithm>

namespace lintrim {

KeptArena::Chain& KeptArena::ThreadChain() {
    const std::lock_guard hold(m_lock);
    return m_chains[std::this_thread::get_id()];
}

char* KeptArena::Reserve(size_t bytes) {
    Chain& chain = ThreadChain();
    if (chain.regions.empty() || chain.regions.back().Size() - chain.top < bytes) {
        const size_t pages = (bytes + MappedRegion::kHugePage - 1) / MappedRegion::kHugePage;
        chain.regions.emplace_back(std::max(m_regionBytes, pages * MappedRegion::kHugePage),
                                   m_hugePages);
        chain.top = 0;
    }
    char* room = chain.regions.back().Data() + chain.top;
    chain.top += bytes;
    return room;
}

void KeptArena::Keep(const char* at, size_t used) {
    Chain& chain = ThreadChain();
    chain.top = static_cast<size_t>(at - chain.regions.back().Data()) + used;
}

}  // namespace lintrim
