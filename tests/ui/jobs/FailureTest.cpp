// The window's side of a failed run: go, the input chooser and dropping
// are given back with the status text and its cause, the selection stays
// for another press; a window closed mid-run stops the run. What a failure
// leaves on disk is the engine's, tested there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "TestSupport.h"
#include "WindowEvents.h"
#include "WindowJob.h"

using namespace lintrim;

namespace {
const std::string kList = "one\ntwo\none\nthree\n";
}  // namespace

TEST(Failures, TheWindowIsGivenBackWithTheCauseAndTheSelectionKept) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    ::chmod(list.c_str(), 0444);
    window.Choose({list});
    WindowJob(window, JobKind::kDedupe);
    // Every list is checked before the first is read.
    EXPECT_EQ(window.calls, Concat<std::string>(
                                {{"checked? BY_FREQUENCY"},
                                 LockCalls(),
                                 FailureCalls("output list can't be opened (Permission denied)")}));
    EXPECT_EQ(window.m_inputFiles, std::vector<std::string>{list});
    EXPECT_EQ(window.m_inputCount, 1);

    RecordingWindow broken;  // a count larger than the list of paths
    broken.Choose({dir.File("ok.txt", kList)});
    broken.m_inputCount = 2;
    WindowJob(broken, JobKind::kDedupe);
    EXPECT_EQ(broken.Only("status ").back(),
              "status Invalid input file (the chosen lists and their count disagree)");
    EXPECT_EQ(ReadBytes(dir.At("ok.txt")), kList);
}

TEST(Failures, ClosingTheWindowMidRunLeavesTheList) {
    TempDir dir;
    RecordingWindow probe;
    probe.Choose({dir.File("probe.txt", kList)});
    WindowJob(probe, JobKind::kDedupe);
    const auto writing = std::find(probe.calls.begin(), probe.calls.end(), "status writing...");
    // Cancel at the first position sent while the replacement is being written.
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    window.Choose({list});
    window.cancelAt = static_cast<int>(writing - probe.calls.begin()) + 1;
    EXPECT_EQ(WindowJob(window, JobKind::kDedupe), 0);
    EXPECT_EQ(window.calls.size(), static_cast<size_t>(window.cancelAt));
    EXPECT_EQ(ReadBytes(list), kList);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"list.txt", "probe.txt"}));
}

// A stop leaves the list being cleaned as it was and the lists before it
// cleaned; the window is given back, saying which list was left, and the
// results name every list handled.
TEST(Failures, AStopLeavesTheListBeingCleanedAndGivesTheWindowBack) {
    struct ResultsWindow : RecordingWindow {
        std::vector<ListOutcome> results;
        void ShowResults(const std::vector<ListOutcome>& outcomes) override { results = outcomes; }
    };
    TempDir dir;
    ResultsWindow window;
    const std::string first = dir.File("1.txt", kList), second = dir.File("2.txt", kList);
    window.Choose({first, second});
    RunControl control;
    int writing = 0;
    window.onCall = [&](const std::string& call) {
        if (call == "status writing..." && ++writing == 2) control.Stop();
    };
    WindowJob(window, JobKind::kDedupe, {}, &control);
    EXPECT_EQ(ReadBytes(first), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(ReadBytes(second), kList);
    EXPECT_EQ(std::vector<std::string>(window.calls.end() - 9, window.calls.end()),
              FailureCalls("stopped: 2.txt left as it was"));
    ASSERT_EQ(window.results.size(), 1u);
    EXPECT_EQ(window.results[0].counts.repeats, 1);
    EXPECT_EQ(window.m_inputCount, 2);
}

// The results name each list with its counts by reason, or its failure.
TEST(Failures, ResultsNameEveryListWithItsReasonsOrItsFailure) {
    ListOutcome cleaned{{"/d/a.txt"}, {}, true, {}, 0, {}, {}};
    cleaned.counts.read = 9;
    cleaned.counts.referenceRead = 2;
    cleaned.counts.repeats = 3;
    cleaned.counts.referenceHits = 1;
    ListOutcome failed{{"/d/b.txt"}, {}, false, {}, 0, "Invalid input file", {ENOENT, {}, "open"}};
    EXPECT_EQ(WindowEvents::ResultsText({cleaned, failed}),
              "/d/a.txt: 7 read, 3 kept, 4 removed (3 repeated, 1 in references), 2 reference "
              "lines\n/d/b.txt: Invalid input file (No such file or directory)\n");
}
