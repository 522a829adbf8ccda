// Runs in one process at once, each with its own budget, threads and
// temporary folder: each takes only its own plan's, so a folder one run
// may not use does not reach a run that set none, and every result is right.
#include <gtest/gtest.h>

#include <barrier>
#include <filesystem>
#include <thread>

#include "TempDir.h"
#include "lintrim/RunEvents.h"

using namespace lintrim;

namespace {
// Holds each run at its start until every run has started.
class MeetingEvents : public RunEvents {
public:
    explicit MeetingEvents(std::barrier<>& meeting) : m_meeting(meeting) {}
    void RunStarted() override { m_meeting.arrive_and_wait(); }

private:
    std::barrier<>& m_meeting;
};

std::string Numbers(int count, int distinct) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(i % distinct * 7919 % 100003) + "\n";
    return text;
}
}  // namespace

TEST(ConcurrentRuns, EachRunTakesOnlyItsOwnPlansSettings) {
    TempDir dir;
    for (const char* folder : {"a", "b", "c", "spill-b"})
        std::filesystem::create_directories(dir.At(folder));
    const std::string list = Numbers(120000, 50000);
    const RunPlan plans[] = {
        // A temporary folder that is not there: this run alone fails.
        {.lists = {dir.File("a/l", list)},
         .memoryBudget = 64 << 10,
         .threads = 1,
         .tempDir = dir.At("missing")},
        {.lists = {dir.File("b/l", list)},
         .alphabetize = true,
         .memoryBudget = 96 << 10,
         .threads = 3,
         .tempDir = dir.At("spill-b")},
        {.lists = {dir.File("c/l", list)},
         .byFrequency = true,
         .memoryBudget = 128 << 10,
         .threads = 2},
    };
    std::barrier<> meeting(3);
    RunOutcome outcomes[3];
    {
        std::vector<std::jthread> runs;
        for (int r = 0; r < 3; ++r)
            runs.emplace_back([&, r] {
                MeetingEvents events(meeting);
                outcomes[r] = RunLists(plans[r], events);
            });
    }
    EXPECT_EQ(outcomes[0].status, RunStatus::kFailed);
    EXPECT_EQ(outcomes[1].status, RunStatus::kDone);
    EXPECT_EQ(outcomes[2].status, RunStatus::kDone);
    EXPECT_EQ(ReadBytes(dir.At("a/l")), list);
    RunEvents quiet;
    for (int r = 1; r < 3; ++r) {  // the same plan alone, in memory, gives the same bytes
        const std::string alone = dir.File("alone", list);
        RunPlan plan = plans[r];
        plan.lists = {alone};
        plan.memoryBudget = 0;
        plan.tempDir.clear();
        ASSERT_EQ(RunLists(plan, quiet).status, RunStatus::kDone);
        EXPECT_EQ(ReadBytes(plans[r].lists[0]), ReadBytes(alone)) << r;
    }
    for (const char* folder : {"a", "b", "c", "spill-b"})
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.At(folder)),
                                std::filesystem::directory_iterator()),
                  std::string(folder) == "spill-b" ? 0 : 1)
            << folder;
}
