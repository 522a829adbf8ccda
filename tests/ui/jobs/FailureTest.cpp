// Every way a run can fail: the list on disk stays as it was, no temporary
// file is left, and the window is given back with the reason.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "TestSupport.h"
#include "WindowJob.h"
#include "api/JobFailure.h"
#include "os/EngineSettings.h"
#include "os/SystemCalls.h"
#include "read/InputList.h"
#include "read/ListReader.h"
#include "write/ReplacementFile.h"

namespace {
// One call that fails on cue. "write" lets `count` bytes through, "read"
// fails the read numbered `count`, "size" adds `count` to the size a stat
// reports, "buffer" makes the write buffer too large to be had; any other
// call lets `count` calls through and fails from then on.
struct Fault {
    std::string call;
    int error = EIO;
    long count = 0;
};

class FaultyCalls : public SystemCalls {
public:
    explicit FaultyCalls(std::vector<Fault> faults) : m_faults(std::move(faults)) {}

    ssize_t Write(int fd, const void* buffer, size_t size) override {
        const Fault* fault = Find("write");
        if (!fault) return SystemCalls::Write(fd, buffer, size);
        if (m_written >= fault->count) return errno = fault->error, -1;
        const size_t allowed =
            std::min<size_t>(size, static_cast<size_t>(fault->count - m_written));
        m_written += static_cast<long>(allowed);
        return SystemCalls::Write(fd, buffer, allowed);
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        const Fault* fault = Find("read");
        if (fault && m_reads++ == fault->count) return errno = fault->error, -1;
        return SystemCalls::Read(fd, buffer, size);
    }
    int Fstat(int fd, struct stat* info) override {
        const int result = SystemCalls::Fstat(fd, info);
        if (const Fault* fault = Find("size")) info->st_size += fault->count;
        return result;
    }
    int Fsync(int fd) override {
        struct stat info {};
        SystemCalls::Fstat(fd, &info);
        return Fails(S_ISDIR(info.st_mode) ? "fsync folder" : "fsync") ? -1
                                                                       : SystemCalls::Fsync(fd);
    }
    int Openat(int folder, const char* name, int flags, mode_t mode) override {
        const char* call = (flags & O_TMPFILE) == O_TMPFILE ? "tmpfile" : "openat";
        return Fails(call) ? -1 : SystemCalls::Openat(folder, name, flags, mode);
    }
    int Fstatat(int folder, const char* name, struct stat* info, int flags) override {
        return Fails("fstatat") ? -1 : SystemCalls::Fstatat(folder, name, info, flags);
    }
    int Fchmod(int fd, mode_t mode) override {
        return Fails("fchmod") ? -1 : SystemCalls::Fchmod(fd, mode);
    }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return Fails("fchown") ? -1 : SystemCalls::Fchown(fd, owner, group);
    }
    int Flock(int fd, int operation) override {
        return Fails("flock") ? -1 : SystemCalls::Flock(fd, operation);
    }
    int Linkat(int from, const char* name, int to, const char* target, int flags) override {
        return Fails("linkat") ? -1 : SystemCalls::Linkat(from, name, to, target, flags);
    }
    int Renameat(int from, const char* name, int to, const char* target) override {
        return Fails("renameat") ? -1 : SystemCalls::Renameat(from, name, to, target);
    }
    ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) override {
        return Fails("pread") ? -1 : SystemCalls::Pread(fd, buffer, size, offset);
    }
    int Fstatvfs(int fd, struct statvfs* info) override {
        const int result = SystemCalls::Fstatvfs(fd, info);
        if (Find("no space")) info->f_bavail = 0;
        return result;
    }

private:
    const Fault* Find(const std::string& call) const {
        for (const Fault& fault : m_faults)
            if (fault.call == call) return &fault;
        return nullptr;
    }
    // True, with errno set, when the call is to fail now.
    bool Fails(const std::string& call) {
        const Fault* fault = Find(call);
        if (!fault || m_passed[call]++ < fault->count) return false;
        errno = fault->error;
        return true;
    }

    std::vector<Fault> m_faults;
    std::map<std::string, long> m_passed;
    long m_written = 0;
    int m_reads = 0;
};

const std::string kList = "one\ntwo\none\nthree\n";
const std::string kCleaned = "one\r\ntwo\r\nthree\r\n";
const std::string kWritten = "4 read, 1 dupes, T s";

struct FailedRun {
    std::vector<std::string> calls;
    std::string bytes;
    std::vector<std::string> names;
    int inputCount;
};

FailedRun RunWith(const std::vector<Fault>& faults, bool spilled) {
    // A budget this small spills the list at its first line.
    ScopedSettings budget({spilled ? 64u : 0u, "", 1});
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    window.Choose({list});
    // Small blocks and a small buffer make reads and writes happen in pieces.
    ListReader::SetBlockSizeForTesting(4);
    const bool noBuffer = !faults.empty() && faults[0].call == "buffer";
    ReplacementFile::SetBufferSizeForTesting(noBuffer ? size_t{1} << 62 : 8);
    {
        FaultyCalls calls(faults);
        ScopedSystemCalls seam(calls);
        WindowJob(window, JobKind::kDedupe);
    }
    ListReader::SetBlockSizeForTesting(0);
    ReplacementFile::SetBufferSizeForTesting(0);
    return {window.calls, ReadBytes(list), dir.Names(), window.m_inputCount};
}

struct FaultCase {
    std::vector<Fault> faults;
    std::string status;  // the last status text
    std::string bytes = kList;
    bool spilled = false;  // run on a budget that sends the lines to temporary files
};
}  // namespace

// Whatever fails, the folder holds the list alone afterwards, and the list is
// replaced by the whole result or not at all.
TEST(Failures, EveryFailingCallLeavesTheListWholeAndNoFileBehind) {
    const std::string cantWrite = "output list can't be written";
    const std::string cantRead = "input list can't be read";
    const std::string noSpace = "not enough disk space for temporary files";
    const std::vector<FaultCase> cases{
        {{{"write", ENOSPC, 0}}, cantWrite + " (No space left on device)"},
        {{{"write", ENOSPC, 5}}, cantWrite + " (No space left on device)"},
        {{{"write", ENOSPC, 15}}, cantWrite + " (No space left on device)"},
        {{{"fsync"}}, cantWrite + " (Input/output error)"},
        {{{"fchmod", EPERM}}, cantWrite + " (Operation not permitted)"},
        {{{"linkat", EPERM}}, cantWrite + " (Operation not permitted)"},
        {{{"renameat", EXDEV}}, cantWrite + " (Invalid cross-device link)"},
        {{{"tmpfile", EOPNOTSUPP}, {"renameat", EXDEV}},
         cantWrite + " (Invalid cross-device link)"},
        {{{"tmpfile", EISDIR}, {"openat", EACCES, 1}},
         "output list can't be opened (Permission denied)"},
        {{{"tmpfile", EACCES}}, "output list can't be opened (Permission denied)"},
        {{{"fstatat", ENOENT, 1}}, "input list changed while it was cleaned"},
        {{{"flock", EWOULDBLOCK}}, "input list is in use by another run"},
        {{{"read", EIO, 2}}, cantRead + " (Input/output error)"},
        {{{"size", 0, -3}}, cantRead + " (the file grew while it was read)"},
        {{{"size", 0, 3}}, cantRead + " (the file shrank while it was read)"},
        {{{"size", 0, long{1} << 62}}, cantRead + " (the file shrank while it was read)"},
        {{{"buffer"}}, "not enough memory"},
        // Failures that do not stop the run, and the folder sync, which comes
        // after the rename.
        {{{"tmpfile", EOPNOTSUPP}}, kWritten, kCleaned},
        {{{"fchown", EPERM}}, kWritten, kCleaned},
        {{{"fsync folder"}}, cantWrite + " (Input/output error)", kCleaned},
        // Temporary files of a list larger than its memory budget.
        {{{"no space"}}, noSpace, kList, true},
        {{{"write", ENOSPC, 0}}, noSpace + " (No space left on device)", kList, true},
        {{{"write", EIO, 0}}, "temporary files can't be written (Input/output error)", kList, true},
        {{{"pread", EIO}}, "temporary files can't be read (Input/output error)", kList, true},
        {{{"tmpfile", EACCES}}, "temporary file can't be made (Permission denied)", kList, true},
        {{}, kWritten, kCleaned, true},
        {{{"tmpfile", EOPNOTSUPP}}, kWritten, kCleaned, true},  // named, unlinked at once
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.faults.empty() ? "spilled"
                                      : c.faults[0].call + " " + std::to_string(c.faults[0].count));
        const FailedRun run = RunWith(c.faults, c.spilled);
        EXPECT_EQ(run.bytes, c.bytes);
        EXPECT_EQ(run.names, std::vector<std::string>{"list.txt"});
        const bool written = c.status == kWritten;
        EXPECT_EQ(run.inputCount, written ? 0 : 1);
        ASSERT_GE(run.calls.size(), 4u);
        const std::vector<std::string> tail(run.calls.end() - 4, run.calls.end());
        if (written)
            EXPECT_NE(std::find(run.calls.begin(), run.calls.end(), "status " + c.status),
                      run.calls.end());
        else
            EXPECT_EQ(tail, FailureCalls(c.status));
    }
}

TEST(Failures, ReadOnlyListIsNotOpenedForWriting) {
    TempDir dir;
    RecordingWindow window;
    const std::string list = dir.File("list.txt", kList);
    ::chmod(list.c_str(), 0444);
    window.Choose({list});
    WindowJob(window, JobKind::kDedupe);
    // The output is opened right after "writing..." is shown.
    const auto writing = std::find(window.calls.begin(), window.calls.end(), "status writing...");
    ASSERT_NE(writing, window.calls.end());
    EXPECT_EQ(std::vector<std::string>(writing + 1, window.calls.end()),
              FailureCalls("output list can't be opened (Permission denied)"));
    EXPECT_EQ(ReadBytes(list), kList);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"list.txt"});
}

TEST(Failures, AMissingListStopsTheRunThere) {
    TempDir dir;
    RecordingWindow window;
    const std::string first = dir.File("1.txt", "a\na\n");
    const std::string third = dir.File("3.txt", "c\nc\n");
    window.Choose({first, (dir.Path() / "missing.txt").string(), third});
    WindowJob(window, JobKind::kDedupe);
    EXPECT_EQ(ReadBytes(first), "a\r\n");
    EXPECT_EQ(ReadBytes(third), "c\nc\n");
    EXPECT_EQ(window.m_inputCount, 3);
    EXPECT_EQ(std::vector<std::string>(window.calls.end() - 4, window.calls.end()),
              FailureCalls("Invalid input file (No such file or directory)"));

    RecordingWindow folder;  // a folder is no list either
    folder.Choose({dir.Path().string()});
    WindowJob(folder, JobKind::kDedupe);
    EXPECT_EQ(folder.calls.back(), "drop 1");
    EXPECT_EQ(folder.Only("status ").back(), "status Invalid input file (not a regular file)");

    RecordingWindow broken;  // a count larger than the list of paths
    broken.Choose({first});
    broken.m_inputCount = 2;
    WindowJob(broken, JobKind::kDedupe);
    EXPECT_EQ(broken.Only("status ").back(),
              "status Invalid input file (No such file or directory)");
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

// A link given as the list is followed and stays; a name of the longest
// length still leaves room for the temporary name; another hard link keeps
// the old bytes; mode and extended attributes come along.
TEST(Failures, ReplacedListsKeepTheirLinksModeAndAttributes) {
    TempDir dir;
    const std::string target = dir.File("target.txt", kList);
    ::chmod(target.c_str(), 0640);
    const std::string link = (dir.Path() / "link.txt").string();
    std::filesystem::create_symlink(target, link);
    const std::string longest = dir.File(std::string(255, 'n'), kList);
    const std::string linked = dir.File("hard.txt", kList);
    std::filesystem::create_hard_link(linked, dir.Path() / "other.txt");
    const bool tagged = ::setxattr(linked.c_str(), "user.origin", "x", 1, 0) == 0;
    RecordingWindow window;
    window.Choose({link, longest, linked});
    WindowJob(window, JobKind::kDedupe);
    EXPECT_EQ(window.m_inputCount, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    for (const std::string& list : {target, longest, linked}) EXPECT_EQ(ReadBytes(list), kCleaned);
    EXPECT_EQ(ReadBytes((dir.Path() / "other.txt").string()), kList);
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    char value[4] = {};
    if (tagged) {
        EXPECT_EQ(::getxattr(linked.c_str(), "user.origin", value, sizeof value), 1);
    }
    EXPECT_EQ(dir.Names().size(), 5u);
}

// A released list is opened again for each reading: appended to, replaced
// or removed meanwhile, it stops the run naming the list.
TEST(Failures, AReleasedListReadAgainMustBeTheFileThatWasChecked) {
    TempDir dir;
    const std::string path = dir.File("l.txt", kList);
    const std::vector<std::function<void()>> changes{
        [&] { std::ofstream(path, std::ios::app) << "x\n"; },
        [&] { std::filesystem::rename(dir.File("new.txt", kList), path); },
        [&] { std::filesystem::remove(path); }};
    for (const auto& change : changes) {
        std::optional<InputList> list = InputList::OpenToRead(dir.File("l.txt", kList));
        list->Release();
        ListReader{*list, "read"};
        change();
        try {
            ListReader{*list, "read"};
            ADD_FAILURE() << "read a changed list";
        } catch (const JobFailure& failure) {
            EXPECT_EQ(failure.Subject() + ": " + failure.StatusText(),
                      path + ": input list changed while it was cleaned");
        }
    }
}
