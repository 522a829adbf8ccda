// The tracker with the replaced global operators, as the window program has
// them: the exact bytes of the report (newest first, file names cut, the
// total), tracking from two threads at once, every form of delete dropping
// the record, new keeping its alignment, and tagged allocations recorded.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

#include "TrackedNew.h"
#include "TrackerTestKit.h"

namespace {

TEST(LeakReport, ListsWhatIsStillRecordedNewestFirst) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("lintrim-report-" + std::to_string(getpid()) + ".txt");
    AllocationTracker tracker;
    const std::string longName(80, 'n');
    const auto at = [](std::uintptr_t address) { return reinterpret_cast<const void*>(address); };
    ASSERT_TRUE(tracker.Record(at(0x10), 10, "first.cpp", 11) &&
                tracker.Record(at(0x80), 8, "old.cpp", 1) &&
                tracker.Record(at(0xABC0), 30, longName.c_str(), 33) &&
                tracker.Record(at(0x80), 16, "new.cpp", 3));
    EXPECT_TRUE(tracker.Remove(at(0x80)));  // the newest record of the address only
    EXPECT_FALSE(tracker.Remove(at(0x81)));
    WriteLeakReport(&tracker, path.c_str());
    EXPECT_EQ(TakeFile(path), Entry(longName.substr(0, 63), 33, "abc0", 30) +
                                  Entry("old.cpp", 1, "80", 8) + Entry("first.cpp", 11, "10", 10) +
                                  Footer(48));
}

// Each thread takes and releases its own blocks while the other does the
// same and also frees untracked blocks; a lost update shows in the count,
// a data race under ThreadSanitizer.
TEST(Registry, TwoThreadsTrackAtOnce) {
    constexpr int kBlocks = 3000;
    const std::size_t before = AllocationTracker::Instance().Count();
    std::latch start(2);
    auto work = [&start](const char* file, std::vector<void*>& kept) {
        start.arrive_and_wait();
        for (int i = 0; i < kBlocks; ++i) {
            void* block = TrackedAlloc(1, file, i);
            i % 2 == 0 ? TrackedRelease(block) : kept.push_back(block);
            delete new int(i);
        }
    };
    std::vector<void*> kept[2];
    { std::jthread a(work, "a.cpp", std::ref(kept[0])), b(work, "b.cpp", std::ref(kept[1])); }
    EXPECT_EQ(AllocationTracker::Instance().Count(), before + kBlocks);
    for (const auto& blocks : kept)
        for (void* block : blocks) TrackedRelease(block);
    EXPECT_EQ(AllocationTracker::Instance().Count(), before);
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
    const std::size_t before = AllocationTracker::Instance().Count();
    for (const auto& release : forms) {
        release(TrackedAlloc(8, "forms.cpp", 1));
        EXPECT_EQ(AllocationTracker::Instance().Count(), before);
    }
}

TEST(ReleaseOperator, NewKeepsAlignmentAndTaggedObjectsAreRecordedUntilDeleted) {
    struct alignas(256) Wide {};
    auto* wide = new Wide[3];
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 256, 0u);
    delete[] wide;
    const std::size_t before = AllocationTracker::Instance().Count();
    auto* values = new (__FILE__, __LINE__) long[4]{};
    auto* value = LINTRIM_NEW int(3);  // tagged only in the diagnostic build
    EXPECT_EQ(AllocationTracker::Instance().Count(),
              before + 1 + (LINTRIM_TRACK_ALLOCATIONS ? 1 : 0));
    delete value;
    delete[] values;
}

}  // namespace
