// Large blocks: anonymous mappings advised to use huge pages. Under
// AddressSanitizer they come from malloc instead, so that its bounds checks
// cover the table and the list bytes too.
#include "LargeBlock.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFromMalloc = true;
#else
constexpr bool kFromMalloc = false;
#endif
// Huge pages come whole (2 MiB): below this size the rounding would cost
// more memory than the pages save time.
constexpr size_t kHugePagesFrom = size_t{32} << 20;
}  // namespace

LargeBlock LargeBlock::Take(size_t bytes) {
    if (bytes == 0) return {};
    if constexpr (kFromMalloc) return LargeBlock(std::malloc(bytes), bytes);
    void* data = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED) return {};
    if (bytes >= kHugePagesFrom) ::madvise(data, bytes, MADV_HUGEPAGE);  // a hint only
    return LargeBlock(data, bytes);
}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept {
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void LargeBlock::Release() {
    if (!m_data) return;
    if constexpr (kFromMalloc)
        std::free(m_data);
    else
        ::munmap(m_data, m_size);
    m_data = nullptr;
}
