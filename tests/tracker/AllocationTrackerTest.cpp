// The registry on its own: the exact bytes of the report (newest first, file
// names cut, the total), removal of the newest record of an address only,
// and tracking from two threads at once.
#include <gtest/gtest.h>

#include <cstdint>
#include <latch>
#include <thread>
#include <vector>

#include "TrackerTestKit.h"

namespace {

const void* At(std::uintptr_t address) {
    return reinterpret_cast<const void*>(address);
}

TEST(LeakReport, ListsWhatIsStillRecordedNewestFirst) {
    EXPECT_EQ(ReportOf(nullptr), "");  // no registry yet: an empty file
    AllocationTracker tracker;
    EXPECT_EQ(ReportOf(&tracker), Footer(0));
    const std::string longName(80, 'n');
    ASSERT_TRUE(tracker.Record(At(0x10), 10, "first.cpp", 11));
    ASSERT_TRUE(tracker.Record(At(0x80), 8, "old.cpp", 1));
    ASSERT_TRUE(tracker.Record(At(0xABC0), 30, longName.c_str(), 33));
    ASSERT_TRUE(tracker.Record(At(0x80), 16, "new.cpp", 3));
    EXPECT_TRUE(tracker.Remove(At(0x80)));
    EXPECT_FALSE(tracker.Remove(At(0x81)));
    EXPECT_FALSE(tracker.Remove(nullptr));
    EXPECT_EQ(ReportOf(&tracker), Entry(longName.substr(0, 63), 33, "abc0", 30) +
                                      Entry("old.cpp", 1, "80", 8) +
                                      Entry("first.cpp", 11, "10", 10) + Footer(48));
    for (std::uintptr_t address : {0x10, 0x80, 0xABC0}) EXPECT_TRUE(tracker.Remove(At(address)));
    EXPECT_EQ(tracker.Count(), 0u);
    EXPECT_EQ(ReportOf(&tracker), Footer(0));
}

// Each thread takes and releases its own blocks while the other does the
// same and also frees untracked blocks; a lost update shows in the count,
// a data race under ThreadSanitizer.
TEST(Registry, TwoThreadsTrackAtOnce) {
    constexpr int kBlocks = 3000;
    AllocationTracker& registry = AllocationTracker::Instance();
    const std::size_t before = registry.Count();
    std::latch start(2);
    auto work = [&start](const char* file, std::vector<void*>& kept) {
        start.arrive_and_wait();
        for (int i = 0; i < kBlocks; ++i) {
            void* block = TrackedAlloc(1, file, i);
            i % 2 == 0 ? TrackedRelease(block) : kept.push_back(block);
            delete new int(i);
        }
    };
    std::vector<void*> keptA, keptB;
    std::thread a(work, "a.cpp", std::ref(keptA));
    std::thread b(work, "b.cpp", std::ref(keptB));
    a.join();
    b.join();
    EXPECT_EQ(registry.Count(), before + kBlocks);
    for (void* block : keptA) TrackedRelease(block);
    for (void* block : keptB) TrackedRelease(block);
    EXPECT_EQ(registry.Count(), before);
}

}  // namespace
