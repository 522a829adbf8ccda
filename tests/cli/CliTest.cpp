// lintrim-cli end to end: the built program runs in a fresh folder with a
// clean environment, its output captured to files, and the tests check the
// exit status, both streams and the exact bytes of every file afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct RunResult {
    int exit = -1;
    std::string out;
    std::string err;
};

struct Started {
    pid_t pid;
    fs::path out;
    fs::path err;
};

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Joined(const Names& args) {
    std::string text = "lintrim-cli";
    for (const std::string& arg : args) text += " '" + arg + "'";
    return text;
}

// The time of a summary varies from run to run; everything else is exact.
std::string WithoutTime(const std::string& out) {
    return std::regex_replace(out, std::regex(R"( \d+\.\d s\n)"), " T s\n");
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lintrim-cli-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_dir = m_root / "lists";
        fs::create_directory(m_dir);
    }

    void TearDown() override {
        Release();
        if (HasFailure() && fs::is_directory(m_dir)) {
            std::cerr << "last command (in " << m_dir.string() << "): " << m_command
                      << "\nfolder afterwards:\n";
            for (const std::string& name : Listing()) std::cerr << "  " << name << "\n";
        }
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    RunResult Run(const std::vector<std::string>& args) {
        return Finish(Start(LINTRIM_CLI_PATH, args));
    }

    // Starts a program in the lists folder, with no shell in between; a
    // `pause` FIFO is handed to the test build.
    Started Start(const char* program, const std::vector<std::string>& args,
                  const std::string& pause = "") {
        m_command = Joined(args);
        std::vector<char*> argv{const_cast<char*>(LINTRIM_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> env{"PATH=/usr/bin:/bin", "LC_ALL=C", "LINTRIM_PAUSE=" + pause};
        if (pause.empty()) env.pop_back();
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (const char* value = std::getenv(name))
                env.push_back(std::string(name) + "=" + value);
        std::vector<char*> envp;
        for (std::string& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string dir = m_dir.string();
        const std::string number = std::to_string(++m_runs);
        const std::string outPath = (m_root / ("stdout" + number)).string();
        const std::string errPath = (m_root / ("stderr" + number)).string();

        const pid_t pid = ::fork();
        if (pid == 0) {
            ::umask(022);  // a fresh file would lose group and other write bits
            for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (in < 0 || out < 0 || err < 0 || ::chdir(dir.c_str()) != 0 || ::dup2(in, 0) < 0 ||
                ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
                ::_exit(126);
            ::execve(program, argv.data(), envp.data());
            ::_exit(127);
        }
        return {pid, outPath, errPath};
    }

    RunResult Finish(const Started& run) {
        RunResult result;
        int status = 0;
        EXPECT_EQ(::waitpid(run.pid, &status, 0), run.pid);
        result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = ReadBytes(run.out);
        result.err = ReadBytes(run.err);
        return result;
    }

    // Starts the test build on `args` and returns once it waits just before
    // replacing a list; it goes on when Release() closes the pause.
    Started StartPaused(const std::vector<std::string>& args) {
        const fs::path fifo = m_root / "pause";
        ::mkfifo(fifo.c_str(), 0600);
        const Started run = Start(LINTRIM_CLI_PAUSED_PATH, args, fifo.string());
        while ((m_pause = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
            siginfo_t ended{};
            ::waitid(P_PID, static_cast<id_t>(run.pid), &ended, WEXITED | WNOHANG | WNOWAIT);
            if (ended.si_pid != 0) {
                ADD_FAILURE() << "the run ended before its pause";
                break;
            }
            ::usleep(1000);
        }
        return run;
    }
    void Release() {
        if (m_pause >= 0) ::close(std::exchange(m_pause, -1));
    }

    void Write(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        fs::permissions(m_dir / name, static_cast<fs::perms>(mode));
    }
    std::string Read(const std::string& name) const { return ReadBytes(m_dir / name); }
    mode_t Mode(const std::string& name) const {
        struct stat info {};
        return ::stat((m_dir / name).c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }
    // Every entry under the lists folder, hidden ones too: a leftover
    // temporary file shows up here.
    Names Listing() const {
        Names names;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_dir))
            names.push_back(entry.path().lexically_relative(m_dir).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_root;
    fs::path m_dir;
    std::string m_command;
    int m_runs = 0;
    int m_pause = -1;
};

struct Ordering {
    Names options;
    std::string first;
    std::string second;
};

void PrintTo(const Ordering& ordering, std::ostream* os) {
    *os << Joined(ordering.options);
}

class CliOrderingTest : public CliTest, public ::testing::WithParamInterface<Ordering> {};

TEST_P(CliOrderingTest, RewritesEachListInTurn) {
    // Mixed line ends, an empty line and no final newline.
    Write("first.txt", "b\na\r\nb\n\nc\r\nb\na");
    // By frequency (b 3, a 2, d 2, c 1) differs from file order; a and d tie.
    Write("second.txt", "c\nd\na\nb\nb\na\nb\nd\n");
    Write("blank.txt", "\n\r\n\n");
    Names args = GetParam().options;
    args.insert(args.end(), {"first.txt", "second.txt", "blank.txt"});
    const RunResult r = Run(args);
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(WithoutTime(r.out),
              "first.txt: 6 read, 3 dupes, T s\nsecond.txt: 8 read, 4 dupes, T s\n"
              "blank.txt: 0 read, 0 dupes, T s\n");
    EXPECT_EQ(r.err, "");  // standard error is no terminal: no progress
    EXPECT_EQ(Read("first.txt"), GetParam().first);
    EXPECT_EQ(Read("second.txt"), GetParam().second);
    EXPECT_EQ(Read("blank.txt"), "");
    EXPECT_EQ(Listing(), (Names{"blank.txt", "first.txt", "second.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliOrderingTest,
    ::testing::Values(Ordering{{}, "b\r\na\r\nc\r\n", "c\r\nd\r\na\r\nb\r\n"},
                      Ordering{{"-a"}, "a\r\nb\r\nc\r\n", "a\r\nb\r\nc\r\nd\r\n"},
                      Ordering{{"--alphabetize", "-q"}, "a\r\nb\r\nc\r\n", "a\r\nb\r\nc\r\nd\r\n"},
                      Ordering{{"-f"}, "b\r\na\r\nc\r\n", "b\r\nd\r\na\r\nc\r\n"},
                      Ordering{{"--by-frequency"}, "b\r\na\r\nc\r\n", "b\r\nd\r\na\r\nc\r\n"}));

TEST_F(CliTest, DoubleDashEndsTheOptions) {
    Write("-f.txt", "b\nb\n");
    const RunResult r = Run({"--", "-f.txt"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(WithoutTime(r.out), "-f.txt: 2 read, 1 dupes, T s\n");
    EXPECT_EQ(Read("-f.txt"), "b\r\n");
}

TEST_F(CliTest, RefListsRemoveEveryCopyOfTheirLines) {
    Write("in1.txt", "x\ny\nx\nz\nw\nw\n");
    Write("in2.txt", "q\nv");
    Write("r1.txt", "x\nq\n");
    Write("r2.txt", "z\r\n");
    const RunResult r = Run({"--ref", "r1.txt", "--ref=r2.txt", "in1.txt", "in2.txt"});
    EXPECT_EQ(r.exit, 0);
    // Read counts include the three reference lines, and no commas here.
    EXPECT_EQ(WithoutTime(r.out), "in1.txt: 9 read 2 dupes T s\nin2.txt: 5 read 0 dupes T s\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Read("in1.txt"), "y\r\nw\r\n");
    EXPECT_EQ(Read("in2.txt"), "v\r\n");
    EXPECT_EQ(Read("r1.txt"), "x\nq\n");
    EXPECT_EQ(Read("r2.txt"), "z\r\n");
    EXPECT_EQ(Listing(), (Names{"in1.txt", "in2.txt", "r1.txt", "r2.txt"}));
}

TEST_F(CliTest, RefJobFollowsTheOrdering) {
    Write("r.txt", "x\n");
    Write("in.txt", "y\nx\nw\nv\nw\n");
    EXPECT_EQ(Run({"-a", "-rr.txt", "in.txt"}).exit, 0);
    EXPECT_EQ(Read("in.txt"), "v\r\nw\r\ny\r\n");
    Write("in.txt", "y\nx\nv\nw\nw\n");
    EXPECT_EQ(Run({"-f", "-r", "r.txt", "in.txt"}).exit, 0);
    EXPECT_EQ(Read("in.txt"), "w\r\ny\r\nv\r\n");
}

TEST_F(CliTest, DelSingleRemovesExactCopiesOnly) {
    struct Case {
        Names options;
        std::string bytes;
        std::string out;
    };
    const std::vector<Case> cases{
        {{"-d", "x"}, "y\r\nxx\r\ny\r\n-x\r\n", "l.txt: 7 read, 3 dupes, T s\n"},
        {{"--del-single=x", "-a"}, "-x\r\nxx\r\ny\r\ny\r\n", "l.txt: 7 read, 3 dupes, T s\n"},
        {{"--del-single", "-x"},
         "y\r\nx\r\nxx\r\nx\r\ny\r\nx\r\n",
         "l.txt: 7 read, 1 dupes, T s\n"},
        // An empty TEXT matches no line, but the list is still rewritten.
        {{"-d", ""}, "y\r\nx\r\nxx\r\nx\r\ny\r\n-x\r\nx\r\n", "l.txt: 7 read, 0 dupes, T s\n"},
    };
    for (const Case& c : cases) {
        Write("l.txt", "y\nx\r\nxx\nx\n\ny\n-x\nx");
        Names args = c.options;
        args.push_back("l.txt");
        const RunResult r = Run(args);
        SCOPED_TRACE(m_command);
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(WithoutTime(r.out), c.out);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Read("l.txt"), c.bytes);
        EXPECT_EQ(Listing(), (Names{"l.txt"}));
    }
}

struct Misuse {
    Names args;
    std::string named;  // what the reason must mention
};

void PrintTo(const Misuse& misuse, std::ostream* os) {
    *os << Joined(misuse.args);
}

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<Misuse> {};

TEST_P(CliUsageTest, ExitsTwoWithReasonAndUsageTouchingNothing) {
    Write("l.txt", "b\nb\n");
    Write("r.txt", "b\n");
    const RunResult r = Run(GetParam().args);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::regex_match(
        r.err, std::regex(R"(lintrim-cli: [^\n]+\nusage: lintrim-cli [^\n]*LIST[\s\S]*)")))
        << r.err;
    EXPECT_NE(r.err.substr(0, r.err.find('\n')).find(GetParam().named), std::string::npos) << r.err;
    EXPECT_EQ(Read("l.txt"), "b\nb\n");
    EXPECT_EQ(Listing(), (Names{"l.txt", "r.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsageTest,
    ::testing::Values(Misuse{{}, "list"}, Misuse{{"-q"}, "list"}, Misuse{{"-z", "l.txt"}, "-z"},
                      Misuse{{"--bogus", "l.txt"}, "--bogus"},
                      Misuse{{"-f", "-a", "l.txt"}, "--alphabetize"},
                      Misuse{{"-af", "l.txt"}, "--by-frequency"},
                      Misuse{{"-r", "r.txt", "-d", "b", "l.txt"}, "--del-single"},
                      Misuse{{"-d", "b", "--by-frequency", "l.txt"}, "--by-frequency"},
                      Misuse{{"l.txt", "--ref"}, "--ref"},
                      Misuse{{"--quiet=yes", "l.txt"}, "--quiet"}));

TEST_F(CliTest, MissingListStopsTheRunThere) {
    Write("one.txt", "a\na\n");
    Write("three.txt", "c\nc\n");
    const RunResult r = Run({"one.txt", "two.txt", "three.txt"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(WithoutTime(r.out), "one.txt: 2 read, 1 dupes, T s\n");
    EXPECT_EQ(r.err, "two.txt: Invalid input file\n");
    EXPECT_EQ(Read("one.txt"), "a\r\n");
    EXPECT_EQ(Read("three.txt"), "c\nc\n");
    EXPECT_EQ(Listing(), (Names{"one.txt", "three.txt"}));
}

// A FIFO without a writer or a device is refused before it is read from.
TEST_F(CliTest, OnlyRegularFilesAreLists) {
    fs::create_directory(m_dir / "sub");
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0644), 0);
    Write("l.txt", "b\nb\n");
    for (const std::string name : {"sub", "fifo", "/dev/null"}) {
        const RunResult r = Run({name, "l.txt"});
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.err, name + ": Invalid input file\n");
    }
    const RunResult r = Run({"-r", "fifo", "l.txt"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "l.txt: Invalid ref file\n");
    EXPECT_EQ(Read("l.txt"), "b\nb\n");
    EXPECT_EQ(Listing(), (Names{"fifo", "l.txt", "sub"}));
}

TEST_F(CliTest, ReadOnlyListIsLeftAsItWas) {
    Write("ro.txt", "a\na\n", 0444);  // no write bit: read-only even to root
    Write("next.txt", "b\nb\n");
    const RunResult r = Run({"ro.txt", "next.txt"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ro.txt: output list can't be opened\n");
    EXPECT_EQ(Read("ro.txt"), "a\na\n");
    EXPECT_EQ(Mode("ro.txt"), 0444u);
    EXPECT_EQ(Read("next.txt"), "b\nb\n");
    EXPECT_EQ(Listing(), (Names{"next.txt", "ro.txt"}));
}

TEST_F(CliTest, MissingRefListLeavesTheInputAlone) {
    Write("r1.txt", "x\n");
    Write("in.txt", "x\ny\ny\n");
    const RunResult r = Run({"-r", "r1.txt", "-r", "gone.txt", "in.txt"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "in.txt: Invalid ref file\n");
    EXPECT_EQ(Read("in.txt"), "x\ny\ny\n");
    EXPECT_EQ(Listing(), (Names{"in.txt", "r1.txt"}));
}

TEST_F(CliTest, LinksStayLinksAndPermissionBitsStay) {
    fs::create_directory(m_dir / "data");
    Write("data/real.txt", "b\nb\na\n", 0640);
    fs::create_symlink("data/real.txt", m_dir / "link.txt");
    Write("shared.txt", "c\nc\n", 0666);
    const RunResult r = Run({"link.txt", "shared.txt"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(WithoutTime(r.out),
              "link.txt: 3 read, 1 dupes, T s\nshared.txt: 2 read, 1 dupes, T s\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(m_dir / "link.txt")));
    EXPECT_EQ(fs::read_symlink(m_dir / "link.txt"), "data/real.txt");
    EXPECT_EQ(Read("data/real.txt"), "b\r\na\r\n");
    EXPECT_EQ(Mode("data/real.txt"), 0640u);
    EXPECT_EQ(Read("shared.txt"), "c\r\n");
    EXPECT_EQ(Mode("shared.txt"), 0666u);
    EXPECT_EQ(Listing(), (Names{"data", "data/real.txt", "link.txt", "shared.txt"}));
}

// The new file has its name when the run stops; only kill -9 leaves it, and
// the next run on the list removes it, as it does older versions' leftovers.
TEST_F(CliTest, StopSignalsLeaveTheListAndNoFileBehind) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(signal);
        Write("l.txt", "b\nb\n");
        const Started run = StartPaused({"l.txt"});
        EXPECT_EQ(Listing().size(), 2u);
        ::kill(run.pid, signal);
        EXPECT_EQ(Finish(run).exit, 128 + signal);
        Release();
        EXPECT_EQ(Read("l.txt"), "b\nb\n");
        if (signal == SIGKILL) {
            EXPECT_EQ(Listing().size(), 2u);
            Write(".l.txt.lintrim-4242-0", "b\n");
            EXPECT_EQ(Run({"l.txt"}).exit, 0);
            EXPECT_EQ(Read("l.txt"), "b\r\n");
        }
        EXPECT_EQ(Listing(), (Names{"l.txt"}));
    }
}

// Appended to, or swapped for a link to a file its owner may not touch,
// after it was read: the list is not replaced, and what is there stays.
TEST_F(CliTest, AListChangedBeforeItsReplacementIsLeftAsItIsThen) {
    const fs::path secret = m_root / "secret";
    std::ofstream(secret) << "s\n";
    struct Change {
        std::function<void()> make;
        Names listing;
        std::string name;  // a file that must hold the list's bytes then
        std::string bytes;
    };
    const std::vector<Change> changes{
        {[&] { std::ofstream(m_dir / "l.txt", std::ios::app) << "z\n"; },
         {"l.txt"},
         "l.txt",
         "b\nb\nz\n"},
        {[&] {
             fs::rename(m_dir / "l.txt", m_dir / "x.txt");
             fs::create_symlink(secret, m_dir / "l.txt");
         },
         {"l.txt", "x.txt"},
         "x.txt",
         "b\nb\n"},
    };
    for (const Change& change : changes) {
        Write("l.txt", "b\nb\n");
        const Started run = StartPaused({"l.txt"});
        change.make();
        Release();
        const RunResult r = Finish(run);
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.err, "l.txt: input list changed while it was cleaned\n");
        EXPECT_EQ(Listing(), change.listing);
        EXPECT_EQ(Read(change.name), change.bytes);
        EXPECT_EQ(ReadBytes(secret), "s\n");
        for (const std::string& name : change.listing) fs::remove(m_dir / name);
    }
}

TEST_F(CliTest, ASecondRunOnTheSameListFailsAtOnce) {
    Write("l.txt", "b\nb\n");
    const Started first = StartPaused({"l.txt"});
    const RunResult second = Run({"l.txt"});
    EXPECT_EQ(second.exit, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "l.txt: input list is in use by another run\n");
    Release();
    EXPECT_EQ(Finish(first).exit, 0);
    EXPECT_EQ(Read("l.txt"), "b\r\n");
    EXPECT_EQ(Listing(), (Names{"l.txt"}));
}

TEST_F(CliTest, HelpListsEveryOptionAndTouchesNothing) {
    Write("l.txt", "b\nb\n");
    for (const char* flag : {"--help", "-h"}) {
        const RunResult r = Run({flag, "l.txt"});
        SCOPED_TRACE(flag);
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.err, "");
        for (const char* option :
             {"-f, --by-frequency", "-a, --alphabetize", "-r, --ref FILE", "-d, --del-single TEXT",
              "-q, --quiet", "-h, --help", "--version"})
            EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(Read("l.txt"), "b\nb\n");
}

TEST_F(CliTest, VersionIsOneLine) {
    const RunResult r = Run({"--version"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex(R"(lintrim-cli \d+\.\d+[^\n]*\n)"))) << r.out;
    EXPECT_EQ(r.err, "");
}
}  // namespace
