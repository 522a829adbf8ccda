// End-to-end runs of the single-line and reference-list jobs.
#include <gtest/gtest.h>
#include <filesystem>

#include "WindowJob.h"

#include "TestSupport.h"

using namespace lintrim;

namespace {
const std::string kLoadCalls = "range 0 5000|pos 0|status counting...|status reading...|pos 1000";
const std::string kRefEndCalls =
    "enable GO 1|enable BROWSE_INPUT 1|check USE_REF 0|enable BROWSE_REF 0|"
    "caption REF_CAPTION choose new|enable DEL_SINGLE 1|readonly 0|enable USE_REF 1|"
    "enable BY_FREQUENCY 1|enable ALPHABETIZE 1|drop 1";
}  // namespace

TEST(SingleLineJob, RunSendsTheExactRequests) {
    TempDir dir;
    RecordingWindow window;
    window.singleText = "a";
    window.checked[IDC_ALPHABETIZE] = true;
    const std::string list = dir.File("list.txt", "b\na\nc\na\nb\na");
    window.Choose({list});
    EXPECT_EQ(WindowJob(window, JobKind::kSingleLine), 0);
    EXPECT_EQ(window.calls,
              Concat<std::string>({LockCalls(),
                                   Seq("get single text|" + kLoadCalls +
                                       "|pos 2500|status finding dupe...|pos 2500|checked? "
                                       "ALPHABETIZE|status sorting...|pos 4000|status writing...|"
                                       "pos 4000|pos 5000|status 6 read, 3 dupes, T s"),
                                   UnlockCalls(true)}));
    EXPECT_EQ(ReadBytes(list), "b\r\nb\r\nc\r\n");
    EXPECT_EQ(window.m_singleLine, "a");
}

// The box left empty deletes no line.
TEST(SingleLineJob, AnEmptyLineDeletesNothing) {
    EXPECT_EQ(Cleaned(JobKind::kSingleLine, "b\n\na\r\nb", false, ""), "b\r\na\r\nb\r\n");
}

TEST(RefListJob, RunSendsTheExactRequestsAndEmptiesBothSelections) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", "b\na\nb\nz\n");
    window.Choose({list}, {dir.File("ref.txt", "a\n")});
    EXPECT_EQ(WindowJob(window, JobKind::kReferences), 0);
    EXPECT_EQ(window.calls,
              Concat<std::string>(
                  {{"checked? BY_FREQUENCY"},
                   LockCalls(),
                   Seq(kLoadCalls +
                       "|status sorting...|pos 2500|status finding dupes...|pos 2500|checked? "
                       "ALPHABETIZE|status restoring original order...|pos 4000|status writing...|"
                       "pos 4000|pos 5000|status 5 read 1 dupes T s|" +
                       kRefEndCalls)}));
    EXPECT_EQ(ReadBytes(list), "b\r\nz\r\n");
    EXPECT_TRUE(window.m_refFiles.empty() && window.m_inputFiles.empty());
    EXPECT_EQ(window.m_refCount + window.m_inputCount, 0);
}

TEST(RefListJob, NothingToCompareWithOnlyAsks) {
    RecordingWindow window;
    window.Choose({"list.txt"});
    EXPECT_EQ(WindowJob(window, JobKind::kReferences), -1);
    EXPECT_EQ(window.calls, std::vector<std::string>{"caption REF_CAPTION choose new"});
}

TEST(RefListJob, WithoutInputListsTheRunOnlyEnds) {
    TempDir dir;
    RecordingWindow window;
    window.Choose({}, {dir.File("ref.txt", "a\n")});
    EXPECT_EQ(WindowJob(window, JobKind::kReferences), 0);
    EXPECT_EQ(window.calls,
              Concat<std::string>({{"checked? BY_FREQUENCY"}, LockCalls(), Seq(kRefEndCalls)}));
    EXPECT_EQ(window.m_refCount, 0);
}

TEST(RefListJob, ReferenceListsChosenDuringARunWaitForTheNext) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", "a\nb\n");
    const std::string later = dir.File("later.txt", "b\n");
    window.Choose({list}, {dir.File("ref.txt", "a\n")});
    window.onCall = [&](const std::string& call) {
        if (call == "status sorting...") {
            window.m_refFiles.push_back(later);
            ++window.m_refCount;
        }
    };
    WindowJob(window, JobKind::kReferences);
    EXPECT_EQ(ReadBytes(list), "b\r\n");
    EXPECT_EQ(window.m_refFiles, std::vector<std::string>{later});
    EXPECT_EQ(window.m_refCount, 1);
}

// A list chosen as its own reference, under the same or another name, is
// refused with the window given back and the list whole; so is a file
// chosen twice as a list.
TEST(RefListJob, AListThatIsItsOwnReferenceIsRefused) {
    TempDir dir;
    const std::string self = dir.File("self.txt", "a\nb\na\n");
    const std::string other = dir.At("sub/../self.txt");
    std::filesystem::create_directory(dir.At("sub"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> choices{
        {{self, self}, "a reference list is a list to clean: " + self},
        {{self, other}, "a reference list is a list to clean: " + other},
    };
    for (const auto& [names, said] : choices) {
        RecordingWindow window;
        window.Choose({names[0]}, {names[1]});
        WindowJob(window, JobKind::kReferences);
        EXPECT_EQ(window.calls, Concat<std::string>(
                                    {{"checked? BY_FREQUENCY"}, LockCalls(), FailureCalls(said)}));
        EXPECT_EQ(ReadBytes(self), "a\nb\na\n");
    }
    RecordingWindow twice;
    twice.Choose({self, other});
    WindowJob(twice, JobKind::kDedupe);
    EXPECT_EQ(twice.Only("status ").back(),
              "status " + self + " and " + other + " are one file: a list is named once");
    EXPECT_EQ(ReadBytes(self), "a\nb\na\n");
}
