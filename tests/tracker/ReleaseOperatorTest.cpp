// The replaced global operators as the window program sees them: every form
// of delete passes the tracker, new keeps its alignment and fails the
// standard way, and only tagged allocations that succeed are recorded.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <new>

#include "TrackedNew.h"

// Impossible requests must come back as null or bad_alloc, as they do
// without a sanitizer, instead of stopping the test run.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
extern "C" const char* __tsan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

// Far beyond any heap; volatile so the compiler cannot judge the calls.
volatile std::size_t g_hugeSize = std::numeric_limits<std::size_t>::max() / 4;

std::size_t Tracked() {
    return AllocationTracker::Instance().Count();
}

// Each pair: the single and the array form with the same extra arguments.
#define LINTRIM_DELETES(...)                                           \
    [&](void* p) { ::operator delete(p __VA_OPT__(, ) __VA_ARGS__); }, \
        [&](void* p) { ::operator delete[](p __VA_OPT__(, ) __VA_ARGS__); }

TEST(ReleaseOperator, EveryDeleteFormDropsTheRecord) {
    const auto al = std::align_val_t{64};
    const std::nothrow_t& nt = std::nothrow;
    const std::function<void(void*)> forms[] = {LINTRIM_DELETES(),      LINTRIM_DELETES(8),
                                                LINTRIM_DELETES(nt),    LINTRIM_DELETES(al),
                                                LINTRIM_DELETES(8, al), LINTRIM_DELETES(al, nt)};
    const std::size_t before = Tracked();
    for (const auto& release : forms) {
        release(TrackedAlloc(8, "forms.cpp", 1));
        EXPECT_EQ(Tracked(), before);
    }
}

TEST(ReleaseOperator, NewAlignsAndFailsTheStandardWayRecordingNothing) {
    struct alignas(256) Wide {
        char bytes[3];
    };
    auto* wide = new Wide[3];
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 256, 0u);
    delete[] wide;
    const std::size_t before = Tracked();
    EXPECT_THROW((void)::operator new(g_hugeSize), std::bad_alloc);
    EXPECT_THROW((void)::operator new[](g_hugeSize, std::align_val_t{64}), std::bad_alloc);
    EXPECT_EQ(::operator new(g_hugeSize, std::nothrow), nullptr);
    EXPECT_EQ(::operator new[](g_hugeSize, std::align_val_t{64}, std::nothrow), nullptr);
    EXPECT_EQ(TrackedAlloc(g_hugeSize, "huge.cpp", 1), nullptr);
    EXPECT_THROW((void)new ("huge.cpp", 2) char[g_hugeSize], std::bad_alloc);
    EXPECT_EQ(Tracked(), before);
}

TEST(TrackedNew, TaggedObjectsAreRecordedUntilDeleted) {
    const std::size_t before = Tracked();
    auto* values = new (__FILE__, __LINE__) long[4]{};
    auto* value = LINTRIM_NEW int(3);  // tagged only in the diagnostic build
    EXPECT_EQ(Tracked(), before + 1 + (LINTRIM_TRACK_ALLOCATIONS ? 1 : 0));
    delete value;
    delete[] values;
    EXPECT_EQ(Tracked(), before);
}

}  // namespace
