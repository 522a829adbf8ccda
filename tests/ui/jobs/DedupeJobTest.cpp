// End-to-end runs of the dedupe job on real files: the bytes written and the
// exact requests sent to the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "TestSupport.h"
#include "WindowJob.h"
#include "read/ListReader.h"

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

std::string RunDedupe(const std::string& bytes, bool byFrequency, bool alphabetize,
                      std::string* summary = nullptr) {
    return Cleaned(JobKind::kDedupe, bytes, byFrequency, alphabetize, {}, "", summary);
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

TEST(DedupeJob, OrderingsKeepTheFirstCopy) {
    const std::string lines = "b\na\nb\nc\nb\na\n";
    EXPECT_EQ(RunDedupe(lines, false, false), "b\r\na\r\nc\r\n");
    EXPECT_EQ(RunDedupe(lines, true, false), "b\r\na\r\nc\r\n");
    EXPECT_EQ(RunDedupe(lines, false, true), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(RunDedupe("x\ny\nx", false, false), "x\r\ny\r\n");
    // Lines of equal frequency keep the file order of their first copies.
    EXPECT_EQ(RunDedupe("e\nd\nd\nc\nc\nf\n", true, false), "d\r\nc\r\ne\r\nf\r\n");
}

TEST(DedupeJob, LinesAreKeptByteForByte) {
    EXPECT_EQ(RunDedupe("a\nA\na \na\n", false, false), "a\r\nA\r\na \r\n");
    // A zero byte and an end-of-file mark inside the list are ordinary bytes;
    // only a final end-of-file mark ends the list.
    const std::string odd("a\0b\na\nx\x1ay\na\0b\nz\x1a", 16);
    EXPECT_EQ(RunDedupe(odd, false, false), std::string("a\0b\r\na\r\nx\x1ay\r\nz\r\n", 16));
    // Every CR at a line's end belongs to its break; lines straddle the reads.
    ListReader::SetBlockSizeForTesting(2);
    EXPECT_EQ(RunDedupe("\r\r\n\r\n", false, false), "");
    EXPECT_EQ(RunDedupe("ab\r\ncd\r\r\nab\r", false, false), "ab\r\ncd\r\n");
    EXPECT_EQ(RunDedupe("a\rb\r\na\rb", false, false), "a\rb\r\n");
    ListReader::SetBlockSizeForTesting(0);
    EXPECT_EQ(RunDedupe("abcd\nabc\nZebra\napple\n\xe9t\nz", false, true),
              "Zebra\r\nabc\r\nabcd\r\napple\r\nz\r\n\xe9t\r\n");
    const std::string late(9000, 'q');  // long lines that differ only at their ends
    EXPECT_EQ(RunDedupe(late + "b\n" + late + "a\n" + late + "b", false, true),
              late + "a\r\n" + late + "b\r\n");
}

TEST(DedupeJob, EmptyListsAreRewrittenEmpty) {
    std::string summary;
    EXPECT_EQ(RunDedupe("", false, false, &summary), "");
    EXPECT_EQ(summary, "status 0 read, 0 dupes, T s");
    EXPECT_EQ(RunDedupe("\r\n\n\r\n", true, false, &summary), "");
    EXPECT_EQ(RunDedupe("only", false, false, &summary), "only\r\n");
    EXPECT_EQ(summary, "status 1 read, 0 dupes, T s");
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
              {.memoryBudget = 64 << 10, .threads = 2});  // every stage moves

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
