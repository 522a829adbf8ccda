// Every way a run can fail: the list on disk stays as it was, no temporary
// file is left, and the window is given back with the reason.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "DedupeJob.h"
#include "ListReader.h"
#include "SystemCalls.h"
#include "TestSupport.h"

namespace {
// System calls that fail on cue.
class FaultyCalls : public SystemCalls {
public:
    long writeBudget = -1;  // bytes that may still be written; -1 unlimited
    bool failFsync = false;
    bool failRename = false;
    int failReadNumber = -1;  // the read (counted from 0) that fails
    off_t sizeShift = 0;      // added to the size a stat reports

    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (writeBudget < 0) return SystemCalls::Write(fd, buffer, size);
        if (writeBudget == 0) return errno = ENOSPC, -1;
        const size_t allowed = std::min<size_t>(size, static_cast<size_t>(writeBudget));
        writeBudget -= static_cast<long>(allowed);
        return SystemCalls::Write(fd, buffer, allowed);
    }
    int Fsync(int fd) override { return failFsync ? (errno = EIO, -1) : SystemCalls::Fsync(fd); }
    int Rename(const char* from, const char* to) override {
        return failRename ? (errno = EXDEV, -1) : SystemCalls::Rename(from, to);
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        if (m_reads++ == failReadNumber) return errno = EIO, -1;
        return SystemCalls::Read(fd, buffer, size);
    }
    int Fstat(int fd, struct stat* info) override {
        const int result = SystemCalls::Fstat(fd, info);
        info->st_size += sizeShift;
        return result;
    }

private:
    int m_reads = 0;
};

const std::string kList = "one\ntwo\none\nthree\n";

struct FailedRun {
    std::vector<std::string> calls;
    std::string bytes;
    std::vector<std::string> names;
    int inputCount;
};

FailedRun RunWith(FaultyCalls& calls, const std::string& bytes = kList) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", bytes);
    window.Choose({list});
    {
        ScopedSystemCalls seam(calls);
        DedupeJob(window);
    }
    return {window.calls, ReadBytes(list), dir.Names(), window.m_inputCount};
}

void ExpectUntouched(const FailedRun& run, const std::string& reason) {
    EXPECT_EQ(run.bytes, kList);
    EXPECT_EQ(run.names, std::vector<std::string>{"list.txt"});
    EXPECT_EQ(run.inputCount, 1);
    ASSERT_GE(run.calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(run.calls.end() - 4, run.calls.end()), FailureCalls(reason));
}
}  // namespace

TEST(Failures, WritingThatFailsLeavesTheListWhole) {
    for (long budget : {0L, 5L, 15L}) {
        FaultyCalls calls;
        calls.writeBudget = budget;
        ExpectUntouched(RunWith(calls), "output list can't be written");
    }
    FaultyCalls fsync;
    fsync.failFsync = true;
    ExpectUntouched(RunWith(fsync), "output list can't be written");
    FaultyCalls rename;
    rename.failRename = true;
    ExpectUntouched(RunWith(rename), "output list can't be written");
}

TEST(Failures, ReadingThatFailsLeavesTheListWhole) {
    ListReader::SetBlockSizeForTesting(4);
    FaultyCalls midway;
    midway.failReadNumber = 2;
    ExpectUntouched(RunWith(midway), "input list can't be read");
    FaultyCalls grew;  // more bytes than the length taken at the start
    grew.sizeShift = -3;
    ExpectUntouched(RunWith(grew), "input list can't be read");
    FaultyCalls shrank;
    shrank.sizeShift = 3;
    ExpectUntouched(RunWith(shrank), "input list can't be read");
    ListReader::SetBlockSizeForTesting(0);
    FaultyCalls huge;  // a length far beyond the bytes there are
    huge.sizeShift = off_t{1} << 62;
    ExpectUntouched(RunWith(huge), "input list can't be read");
}

TEST(Failures, ReadOnlyListIsNotOpenedForWriting) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    ::chmod(list.c_str(), 0444);
    window.Choose({list});
    DedupeJob(window);
    // The output is opened right after "writing..." is shown.
    const auto writing = std::find(window.calls.begin(), window.calls.end(), "status writing...");
    ASSERT_NE(writing, window.calls.end());
    EXPECT_EQ(std::vector<std::string>(writing + 1, window.calls.end()),
              FailureCalls("output list can't be opened"));
    EXPECT_EQ(ReadBytes(list), kList);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"list.txt"});
}

TEST(Failures, AMissingListStopsTheRunThere) {
    TempDir dir;
    RecordingWindow window;
    const std::string first = dir.File("1.txt", "a\na\n");
    const std::string third = dir.File("3.txt", "c\nc\n");
    window.Choose({first, (dir.Path() / "missing.txt").string(), third});
    DedupeJob(window);
    EXPECT_EQ(ReadBytes(first), "a\r\n");
    EXPECT_EQ(ReadBytes(third), "c\nc\n");
    EXPECT_EQ(window.m_inputCount, 3);
    EXPECT_EQ(std::vector<std::string>(window.calls.end() - 4, window.calls.end()),
              FailureCalls("Invalid input file"));

    RecordingWindow folder;  // a folder is no list either
    folder.Choose({dir.Path().string()});
    DedupeJob(folder);
    EXPECT_EQ(folder.calls.back(), "drop 1");
    EXPECT_EQ(folder.Only("status ").back(), "status Invalid input file");

    RecordingWindow broken;  // a count larger than the list of paths
    broken.Choose({first});
    broken.m_inputCount = 2;
    DedupeJob(broken);
    EXPECT_EQ(broken.Only("status ").back(), "status Invalid input file");
}

TEST(Failures, ClosingTheWindowMidRunLeavesTheList) {
    TempDir dir;
    RecordingWindow probe;
    probe.Choose({dir.File("probe.txt", kList)});
    DedupeJob(probe);
    const auto writing = std::find(probe.calls.begin(), probe.calls.end(), "status writing...");
    // Cancel at the first position sent while the replacement is being written.
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    window.Choose({list});
    window.cancelAt = static_cast<int>(writing - probe.calls.begin()) + 1;
    EXPECT_EQ(DedupeJob(window), 0);
    EXPECT_EQ(window.calls.size(), static_cast<size_t>(window.cancelAt));
    EXPECT_EQ(ReadBytes(list), kList);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"list.txt", "probe.txt"}));
}

TEST(Failures, LinkedListsAreReplacedBehindTheLinkWithTheirMode) {
    TempDir dir;
    const std::string target = dir.File("target.txt", kList);
    ::chmod(target.c_str(), 0640);
    const std::string link = (dir.Path() / "link.txt").string();
    std::filesystem::create_symlink(target, link);
    RecordingWindow window;
    window.Choose({link});
    DedupeJob(window);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "one\r\ntwo\r\nthree\r\n");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}
