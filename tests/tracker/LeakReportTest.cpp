// The process-wide report in a process of its own, so that it starts with no
// registry: first the empty file, then the listing of real tracked blocks in
// "memoryleaks.txt" of the current folder.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string>

#include "AllocationTracker.h"
#include "TestFolder.h"

namespace {

std::string Hex(const void* block) {
    char digits[2 * sizeof(std::uintptr_t)];
    auto end =
        std::to_chars(digits, digits + sizeof digits, reinterpret_cast<std::uintptr_t>(block), 16)
            .ptr;
    return std::string(digits, end);
}

class InFolder {
public:
    explicit InFolder(const std::filesystem::path& path)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
    ~InFolder() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

TEST(ProcessLeakReport, EmptyBeforeTrackingThenListsTheUnreleasedBlocks) {
    TestFolder folder;
    InFolder in(folder.Path());
    ASSERT_EQ(AllocationTracker::Registry(), nullptr) << "the registry must not exist yet";

    WriteLeakReport();
    ASSERT_TRUE(std::filesystem::exists("memoryleaks.txt"));
    EXPECT_EQ(ReadFile("memoryleaks.txt"), "");

    void* ten = TrackedAlloc(10, "ten.cpp", 10);
    void* twenty = TrackedAlloc(20, "twenty.cpp", 20);
    void* thirty = TrackedAlloc(30, "thirty.cpp", 30);
    delete static_cast<char*>(twenty);
    WriteLeakReport();
    TrackedRelease(ten);
    TrackedRelease(thirty);

    EXPECT_EQ(ReadFile("memoryleaks.txt"),
              "thirty.cpp\n\tLine 30\n\tAddress " + Hex(thirty) + "\n\t 30 bytes unfreed\n\n" +
                  "ten.cpp\n\tLine 10\n\tAddress " + Hex(ten) + "\n\t 10 bytes unfreed\n\n" +
                  kHyphens + "\nTotal Unfreed: 40 bytes\n");
}

}  // namespace
