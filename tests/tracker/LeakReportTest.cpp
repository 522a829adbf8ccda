// The process-wide report in a process of its own, so that it starts with no
// registry: first the empty file, then the real tracked blocks still held,
// in "memoryleaks.txt" of the current folder.
#include <gtest/gtest.h>

#include <cstdio>

#include "TrackerTestKit.h"

namespace {

std::string Hex(const void* block) {
    char digits[20];
    std::snprintf(digits, sizeof digits, "%jx", reinterpret_cast<std::uintmax_t>(block));
    return digits;
}

TEST(ProcessLeakReport, EmptyBeforeTrackingThenListsTheUnreleasedBlocks) {
    // This process only: its current folder becomes a temporary one.
    std::string folder = (std::filesystem::temp_directory_path() / "lintrim-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::filesystem::current_path(folder);
    ASSERT_EQ(AllocationTracker::Registry(), nullptr) << "the registry must not exist yet";
    WriteLeakReport();
    EXPECT_EQ(TakeFile("memoryleaks.txt"), "");

    void* ten = TrackedAlloc(10, "ten.cpp", 10);
    void* twenty = TrackedAlloc(20, "twenty.cpp", 20);
    void* thirty = TrackedAlloc(30, "thirty.cpp", 30);
    delete static_cast<char*>(twenty);
    WriteLeakReport();
    TrackedRelease(ten);
    TrackedRelease(thirty);
    EXPECT_EQ(TakeFile("memoryleaks.txt"), Entry("thirty.cpp", 30, Hex(thirty), 30) +
                                               Entry("ten.cpp", 10, Hex(ten), 10) + Footer(40));
    std::filesystem::remove(folder);
}

}  // namespace
