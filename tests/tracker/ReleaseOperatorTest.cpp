// The replaced global operators as the program sees them: every form of
// delete passes the tracker, operator new fails the standard way, and
// allocations the heap cannot satisfy are never recorded.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>

#include "AllocationTracker.h"
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

TEST(ReleaseOperator, EveryDeleteFormDropsTheRecord) {
    const std::size_t before = Tracked();
    const auto align = std::align_val_t{64};
    const std::nothrow_t& nothrow = std::nothrow;
    auto check = [&](auto release) {
        void* block = TrackedAlloc(8, "forms.cpp", 1);
        ASSERT_NE(block, nullptr);
        ASSERT_EQ(Tracked(), before + 1);
        release(block);
        EXPECT_EQ(Tracked(), before);
    };
    check([](void* p) { ::operator delete(p); });
    check([](void* p) { ::operator delete[](p); });
    check([](void* p) { ::operator delete(p, 8); });
    check([](void* p) { ::operator delete[](p, 8); });
    check([&](void* p) { ::operator delete(p, nothrow); });
    check([&](void* p) { ::operator delete[](p, nothrow); });
    check([&](void* p) { ::operator delete(p, align); });
    check([&](void* p) { ::operator delete[](p, align); });
    check([&](void* p) { ::operator delete(p, 8, align); });
    check([&](void* p) { ::operator delete[](p, 8, align); });
    check([&](void* p) { ::operator delete(p, align, nothrow); });
    check([&](void* p) { ::operator delete[](p, align, nothrow); });
}

TEST(ReleaseOperator, AlignedNewHonoursTheAlignment) {
    struct alignas(256) Wide {
        char bytes[3];
    };
    auto* wide = new Wide[3];
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 256, 0u);
    delete[] wide;
}

TEST(ReleaseOperator, FailedNewThrowsOrReturnsNull) {
    const std::size_t before = Tracked();
    EXPECT_THROW((void)::operator new(g_hugeSize), std::bad_alloc);
    EXPECT_THROW((void)::operator new[](g_hugeSize, std::align_val_t{64}), std::bad_alloc);
    EXPECT_EQ(::operator new(g_hugeSize, std::nothrow), nullptr);
    EXPECT_EQ(::operator new[](g_hugeSize, std::align_val_t{64}, std::nothrow), nullptr);
    EXPECT_EQ(Tracked(), before);
}

TEST(TrackedAlloc, FailedAllocationRecordsNothing) {
    const std::size_t before = Tracked();
    EXPECT_EQ(TrackedAlloc(g_hugeSize, "huge.cpp", 1), nullptr);
    EXPECT_THROW((void)new ("huge.cpp", 2) char[g_hugeSize], std::bad_alloc);
    EXPECT_EQ(Tracked(), before);
}

TEST(TrackedNew, TaggedObjectsAreRecordedUntilDeleted) {
    const std::size_t before = Tracked();
    auto* value = new (__FILE__, __LINE__) long(5);
    auto* values = new (__FILE__, __LINE__) long[4]{};
    EXPECT_EQ(Tracked(), before + 2);
    delete value;
    delete[] values;
    EXPECT_EQ(Tracked(), before);
}

TEST(TrackedNew, TheMacroTagsOnlyInTheDiagnosticBuild) {
    const std::size_t before = Tracked();
    auto* value = LINTRIM_NEW int(3);
    EXPECT_EQ(Tracked(), before + (LINTRIM_TRACK_ALLOCATIONS ? 1 : 0));
    delete value;
    EXPECT_EQ(Tracked(), before);
}

}  // namespace
