// End-to-end runs of the dedupe job on real files: the bytes written and the
// exact requests sent to the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TestSupport.h"
#include "WindowJob.h"

using namespace lintrim;

namespace {
std::vector<std::string> NormalListCalls(const std::string& summary) {
    return Seq(
        "range 0 5000|pos 0|status counting...|status reading...|pos 1000|"
        "status sorting...|pos 2500|status finding dupes...|pos 2500|checked? ALPHABETIZE|"
        "status restoring original order...|pos 4000|status writing...|pos 4000|pos 5000|"
        "status " +
        summary);
}

std::string RunDedupe(const std::string& bytes, bool alphabetize) {
    return Cleaned(JobKind::kDedupe, bytes, alphabetize);
}
}  // namespace

TEST(DedupeJob, RunSendsTheExactRequestsAndRewritesTheList) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", "b\na\r\nb\nc\n\nb\na");
    window.Choose({list});

    EXPECT_EQ(WindowJob(window, JobKind::kDedupe), 0);

    EXPECT_EQ(window.calls, Concat<std::string>({{"checked? BY_FREQUENCY"},
                                                 LockCalls(),
                                                 NormalListCalls("6 read, 3 dupes, T s"),
                                                 UnlockCalls(false)}));
    EXPECT_EQ(ReadBytes(list), "b\r\na\r\nc\r\n");
    EXPECT_EQ(window.m_inputCount, 0);
    EXPECT_TRUE(window.m_inputFiles.empty());
}

// Bytes the engine's model tests never draw: a zero byte and an end-of-file
// mark inside the list are ordinary bytes, only a final end-of-file mark
// ends the list; long lines that differ only at their ends stay apart.
TEST(DedupeJob, OddBytesAndLongLinesAreKeptByteForByte) {
    const std::string odd("a\0b\na\nx\x1ay\na\0b\nz\x1a", 16);
    EXPECT_EQ(RunDedupe(odd, false), std::string("a\0b\r\na\r\nx\x1ay\r\nz\r\n", 16));
    const std::string late(9000, 'q');
    EXPECT_EQ(RunDedupe(late + "b\n" + late + "a\n" + late + "b", true),
              late + "a\r\n" + late + "b\r\n");
    EXPECT_EQ(RunDedupe("", false), "");
}

TEST(DedupeJob, EachListOfARunGetsItsSummary) {
    TempDir dir;
    RecordingWindow window;
    window.Choose(
        {dir.File("1.txt", "a\na\n"), dir.File("2.txt", "b\n"), dir.File("3.txt", "c\nc\nc")});
    EXPECT_EQ(WindowJob(window, JobKind::kDedupe), 0);
    std::vector<std::string> summaries;
    for (const std::string& status : window.Only("status "))
        if (status.find(" read, ") != std::string::npos) summaries.push_back(status);
    EXPECT_EQ(summaries, (std::vector<std::string>{"status 2 read, 1 dupes, T s",
                                                   "status 1 read, 0 dupes, T s",
                                                   "status 3 read, 2 dupes, T s"}));
    EXPECT_EQ(ReadBytes((dir.Path() / "3.txt").string()), "c\r\n");
    // Go stays enabled with nothing chosen: the next press only asks for files.
    window.calls.clear();
    EXPECT_EQ(WindowJob(window, JobKind::kDedupe), -1);
    EXPECT_EQ(window.calls, std::vector<std::string>{"caption INPUT_CAPTION choose new file(s)"});
}

// The progress of a larger list, spilled so that every stage moves.
TEST(DedupeModel, ProgressFollowsTheFileThenRisesThroughEachStage) {
    std::mt19937 random(7);
    std::string bytes;
    for (int i = 0; i < 150000; ++i)
        bytes += "w" + std::to_string(random() % 40000 * 7919 % 100003) + (i % 3 ? "\n" : "\r\n");
    TempDir dir;
    RecordingWindow window;
    window.checked[IDC_BY_FREQUENCY] = true;
    window.Choose({dir.File("list.txt", bytes)});
    WindowJob(window, JobKind::kDedupe,
              {.memoryBudget = 1 << 20, .threads = 2});  // every stage moves

    // Loading: an independent walk over the pieces a line read returns, the
    // empty one after the final line break included.
    std::vector<std::string> expected = {"pos 0"};
    const float scale = 1000.0f / static_cast<float>(bytes.size());
    int64_t count = 0;
    for (size_t start = 0;;) {
        const size_t feed = bytes.find('\n', start);
        const size_t end = feed == std::string::npos ? bytes.size() : feed + 1;
        const size_t text = (feed == std::string::npos ? bytes.size() : feed) - start;
        count += !(text == 0 || (text == 1 && bytes[start] == '\r'));
        if (count % 1000 == 0)
            expected.push_back("pos " + std::to_string(static_cast<int>(end * scale)));
        if (feed == std::string::npos) break;
        start = end;
    }
    const auto positions = window.Only("pos ");
    ASSERT_GT(positions.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(positions.begin(), positions.begin() + expected.size()),
              expected);

    // Then every stage moves within its own stretch, never back.
    std::vector<int> later;
    for (auto it = positions.begin() + expected.size(); it != positions.end(); ++it)
        later.push_back(std::stoi(it->substr(4)));
    EXPECT_TRUE(std::is_sorted(later.begin(), later.end()));
    for (int pos : {1000, 2000, 2500, 4000, 5000})
        EXPECT_NE(std::find(later.begin(), later.end(), pos), later.end()) << pos;
    auto within = [&](int low, int high) {
        return std::count_if(later.begin(), later.end(),
                             [&](int p) { return p > low && p < high; });
    };
    EXPECT_GT(within(1000, 2000), 1);  // grouping
    EXPECT_GT(within(3500, 4000), 1);  // sorting by frequency
    EXPECT_GT(within(4000, 5000), 1);  // writing
}
