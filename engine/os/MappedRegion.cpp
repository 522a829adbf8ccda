// Anonymous private mappings, one huge page larger than asked, so that an
// aligned region lies within.
#include "os/MappedRegion.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace lintrim {

MappedRegion::MappedRegion(size_t bytes, bool hugePages) {
    const size_t mapped = bytes + kHugePage;
    void* at = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) throw std::bad_alloc();
    m_mapped = at;
    m_mappedBytes = mapped;
    const auto start = reinterpret_cast<uintptr_t>(at);
    m_base = reinterpret_cast<char*>((start + kHugePage - 1) & ~uintptr_t{kHugePage - 1});
    m_bytes = bytes;
    // A refusal leaves small pages, which work as well, only slower.
    if (hugePages) ::madvise(m_base, m_bytes, MADV_HUGEPAGE);
}

MappedRegion::~MappedRegion() {
    if (m_mapped) ::munmap(m_mapped, m_mappedBytes);
}

}  // namespace lintrim
