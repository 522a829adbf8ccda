// The process-wide report in a process of its own, so that it starts with no
// registry: first the empty file, then the tracked block still held (the
// exact bytes are the registry's own test), in
// "memoryleaks.txt" of the current folder.
#include <gtest/gtest.h>

#include "TrackerTestKit.h"

TEST(ProcessLeakReport, EmptyBeforeTrackingThenListsTheUnreleasedBlock) {
    // This process only: its current folder becomes a temporary one.
    std::string folder = (std::filesystem::temp_directory_path() / "lintrim-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::filesystem::current_path(folder);
    ASSERT_EQ(AllocationTracker::Registry(), nullptr) << "the registry must not exist yet";
    WriteLeakReport();
    EXPECT_EQ(TakeFile("memoryleaks.txt"), "");
    void* ten = TrackedAlloc(10, "ten.cpp", 10);
    WriteLeakReport();
    TrackedRelease(ten);
    const std::string report = TakeFile("memoryleaks.txt");
    EXPECT_TRUE(report.starts_with("ten.cpp\n\tLine 10\n") && report.ends_with(Footer(10)))
        << report;
    std::filesystem::remove(folder);
}
