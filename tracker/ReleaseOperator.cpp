// The program's global allocation and release operators. Every form of
// operator new takes its block from malloc without recording it; every form
// of operator delete hands the block to TrackedRelease, so any block the
// program frees passes the allocation tracker. Linked as an object library
// into each program so that these definitions replace the library's own.
#include <cstdlib>
#include <new>

#include "AllocationTracker.h"

namespace {

// malloc(0) may return null; operator new must hand out a distinct block.
std::size_t AtLeastOne(std::size_t size) {
    return size == 0 ? 1 : size;
}

void* TryAllocate(std::size_t size, std::size_t alignment) noexcept {
    if (alignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
        return std::malloc(size);
    }
    // posix_memalign rather than aligned_alloc: it takes any size, not only
    // multiples of the alignment, and its blocks are released with free.
    void* block = nullptr;
    return posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

// The standard's loop: give the new-handler a chance to make room, and throw
// only when there is none.
void* Allocate(std::size_t size, std::size_t alignment) {
    size = AtLeastOne(size);
    for (;;) {
        if (void* block = TryAllocate(size, alignment)) {
            return block;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
}

void* AllocateOrNull(std::size_t size, std::size_t alignment) noexcept {
    try {
        return Allocate(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

constexpr std::size_t kPlain = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

std::size_t Bytes(std::align_val_t alignment) {
    return static_cast<std::size_t>(alignment);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size, kPlain);
}
void* operator new[](std::size_t size) {
    return Allocate(size, kPlain);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, kPlain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, kPlain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return Allocate(size, Bytes(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return Allocate(size, Bytes(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, Bytes(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, Bytes(alignment));
}

void operator delete(void* block) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block) noexcept {
    TrackedRelease(block);
}
void operator delete(void* block, std::size_t) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    TrackedRelease(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    TrackedRelease(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    TrackedRelease(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    TrackedRelease(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    TrackedRelease(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    TrackedRelease(block);
}

#if LINTRIM_TRACK_ALLOCATIONS
namespace {
// Registered while the program's statics are being built, so the report runs
// after nearly all static destructors and lists only blocks nobody released.
[[maybe_unused]] const bool g_reportAtExit = std::atexit([] { WriteLeakReport(); }) == 0;
}  // namespace
#endif
