// The engine through its API, as a front end sees it: a plan in, events out,
// and the bytes on disk.
#include <gtest/gtest.h>

#include <cerrno>

#include "TempDir.h"
#include "api/RunEvents.h"

namespace {
// Records the stage texts, and every outcome as "path: summary" or
// "path: failure (cause)".
class RecordingEvents : public RunEvents {
public:
    std::vector<std::string> stages;
    std::vector<std::string> outcomes;
    int lastPosition = -1;
    bool backwards = false;

    void StageBegun(const std::string& text) override { stages.push_back(text); }
    void Progress(int position) override {
        backwards = backwards || position < lastPosition;
        lastPosition = position;
    }
    void ListStarted(const std::vector<std::string>&) override { lastPosition = 0; }
    void ListFinished(const ListOutcome& o) override {
        const std::string name = o.paths.empty() ? "" : o.paths.front();
        const std::string cause = o.cause.Text();
        outcomes.push_back(name + ": " + (o.written ? o.summary : o.failure + " (" + cause + ")"));
    }
};
}  // namespace

TEST(RunEvents, StagesInOrderAndProgressNeverBackwards) {
    TempDir dir;
    RunPlan plan;
    plan.lists = {dir.File("l.txt", "b\na\nb\n")};
    plan.alphabetize = true;
    RecordingEvents events;
    EXPECT_EQ(RunLists(plan, events).status, RunStatus::kDone);
    EXPECT_EQ(events.stages, (std::vector<std::string>{"counting...", "reading...", "sorting...",
                                                       "finding dupes...", "writing..."}));
    EXPECT_FALSE(events.backwards);
    EXPECT_EQ(events.lastPosition, 5000);
    EXPECT_EQ(ReadBytes(plan.lists[0]), "a\r\nb\r\n");
}

// A failure names the file it concerns and the system's cause.
TEST(RunEvents, FailuresNameTheirFileAndCause) {
    TempDir dir;
    const std::string list = dir.File("l.txt", "a\n");
    const std::string gone = (dir.Path() / "gone.txt").string();
    const std::string noFolder = (dir.Path() / "no" / "o.txt").string();
    RunPlan references;
    references.job = JobKind::kReferences;
    references.lists = {list};
    references.references = {list + ".missing"};
    RunPlan output;
    output.lists = {list};
    output.output = noFolder;
    RunPlan missing;
    missing.lists = {gone};
    const std::vector<std::pair<RunPlan, std::string>> cases{
        {references, list + ".missing: Invalid ref file (No such file or directory)"},
        {output, noFolder + ": output list can't be opened (No such file or directory)"},
        {missing, gone + ": Invalid input file (No such file or directory)"}};
    for (const auto& [plan, expected] : cases) {
        RecordingEvents events;
        EXPECT_EQ(RunLists(plan, events).status, RunStatus::kFailed);
        EXPECT_EQ(events.outcomes, std::vector<std::string>{expected});
        EXPECT_EQ(ReadBytes(list), "a\n");
    }
}
