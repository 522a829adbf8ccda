// Reserved and committed at once; Windows gives large pages only to
// accounts with a privilege of their own, so small pages it is.
#include "os/MappedRegion.h"

#include <windows.h>

#include <new>

namespace lintrim {

MappedRegion::MappedRegion(size_t bytes, bool) {
    void* at = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!at) throw std::bad_alloc();
    m_mapped = at;
    m_mappedBytes = bytes;
    m_base = static_cast<char*>(at);
    m_bytes = bytes;
}

MappedRegion::~MappedRegion() {
    if (m_mapped) ::VirtualFree(m_mapped, 0, MEM_RELEASE);
}

}  // namespace lintrim
