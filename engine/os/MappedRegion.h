// A region of fresh memory taken straight from the system, given back whole
// when it goes. Regions are for memory a run fills at once and frees at
// once, where the allocator's small pieces would cost a fault of the kernel
// per 4 KiB page: a region may ask for huge pages instead.
#pragma once

#include <cstddef>
#include <utility>

namespace lintrim {

class MappedRegion {
public:
    MappedRegion() = default;
    // Takes `bytes` (a multiple of kHugePage) aligned to a huge page; with
    // `hugePages`, asks the kernel to back it with them where it gives them
    // on request. Throws std::bad_alloc when the system refuses.
    MappedRegion(size_t bytes, bool hugePages);
    MappedRegion(MappedRegion&& other) noexcept
        : m_base(std::exchange(other.m_base, nullptr)),
          m_mapped(std::exchange(other.m_mapped, nullptr)),
          m_bytes(std::exchange(other.m_bytes, 0)),
          m_mappedBytes(std::exchange(other.m_mappedBytes, 0)) {}
    MappedRegion& operator=(MappedRegion&& other) noexcept {
        std::swap(m_base, other.m_base);
        std::swap(m_mapped, other.m_mapped);
        std::swap(m_bytes, other.m_bytes);
        std::swap(m_mappedBytes, other.m_mappedBytes);
        return *this;
    }
    MappedRegion(const MappedRegion&) = delete;
    MappedRegion& operator=(const MappedRegion&) = delete;
    ~MappedRegion();

    char* Data() const { return m_base; }
    size_t Size() const { return m_bytes; }

    static constexpr size_t kHugePage = size_t{2} << 20;

private:
    char* m_base = nullptr;    // aligned to a huge page
    void* m_mapped = nullptr;  // as the system gave it
    size_t m_bytes = 0;
    size_t m_mappedBytes = 0;
};

}  // namespace lintrim
