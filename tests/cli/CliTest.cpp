// lintrim-cli end to end: the built program runs in a fresh folder with a
// clean environment, its output captured to files, and the tests check the
// exit status, both streams and the exact bytes of every file afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../engine/TempDir.h"

namespace {
namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

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

std::string Joined(const Names& args) {
    std::string text = "lintrim-cli";
    for (const std::string& arg : args) text += " '" + arg + "'";
    return text;
}

// A program under test: the build's own, or the command in the environment
// variable `variable`, whose words are a launcher and a program
// ("wine64 .../lintrim-cli.exe").
Names ProgramCommand(const char* variable = "LINTRIM_CLI", const char* built = LINTRIM_CLI_PATH) {
    const char* given = std::getenv(variable);
    std::istringstream words(given && *given ? given : built);
    Names command;
    for (std::string word; words >> word;) command.push_back(word);
    return command;
}
std::string ProgramText() {
    std::string text;
    for (const std::string& word : ProgramCommand()) text += (text.empty() ? "" : " ") + word;
    return text;
}
bool OnWindows() {
    const std::string program = ProgramCommand().back();
    return program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0;
}

// The time of a summary varies from run to run; everything else is exact.
std::string WithoutTime(const std::string& out) {
    return std::regex_replace(out, std::regex(R"( \d+\.\d s\n)"), " T s\n");
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(m_dir); }

    void TearDown() override {
        Release();
        if (HasFailure() && fs::is_directory(m_dir)) {
            std::cerr << "last command (in " << m_dir.string() << "): " << m_command
                      << "\nfolder afterwards:\n";
            for (const std::string& name : Listing()) std::cerr << "  " << name << "\n";
        }
    }

    // Arguments starting with "|" are a shell pipeline, $CLI the program.
    RunResult Run(const std::vector<std::string>& args) {
        if (!args.empty() && args[0] == "|")
            return Finish(Start("/bin/sh", {"-c", "set -e; " + args.at(1)}));
        Names command = ProgramCommand();
        command.insert(command.end(), args.begin(), args.end());
        const std::string program = command.front();
        return Finish(Start(program.c_str(), {command.begin() + 1, command.end()}, "", args));
    }

    // Starts a program in the lists folder, with no shell in between; a
    // `pause` FIFO is handed to the test build.
    Started Start(const char* program, const std::vector<std::string>& args,
                  const std::string& pause = "", const Names& shown = {}) {
        m_command = Joined(shown.empty() ? args : shown);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        // Wine takes the arguments' and file names' encoding from the locale.
        const std::string locale = OnWindows() ? "LC_ALL=C.UTF-8" : "LC_ALL=C";
        std::vector<std::string> env{"PATH=/usr/bin:/bin", locale, "CLI=" + ProgramText(),
                                     "COMPLETION=" LINTRIM_COMPLETION_PATH,
                                     m_pauseVariable + "=" + pause};
        if (pause.empty()) env.pop_back();
        for (const char* name :
             {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "WINEPREFIX", "WINEDEBUG", "HOME"})
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

    // Starts the test build on `args` and returns once it waits at the pause
    // point that `variable` names (PausePoint.cpp), by default just before
    // replacing a file; it goes on when Release() closes the pause.
    Started StartPaused(const std::vector<std::string>& args,
                        const std::string& variable = "LINTRIM_PAUSE") {
        m_pauseVariable = variable;
        ::mkfifo((m_root / "pause").c_str(), 0600);
        Names command = ProgramCommand("LINTRIM_CLI_PAUSED", LINTRIM_CLI_PAUSED_PATH);
        command.insert(command.end(), args.begin(), args.end());
        const std::string program = command.front();
        const Started run = Start(program.c_str(), {command.begin() + 1, command.end()},
                                  (m_root / "pause").string(), args);
        WaitForPause(run);
        return run;
    }
    void WaitForPause(const Started& run) {
        const fs::path fifo = m_root / "pause";
        while ((m_pause = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
            siginfo_t ended{};
            ::waitid(P_PID, static_cast<id_t>(run.pid), &ended, WEXITED | WNOHANG | WNOWAIT);
            if (ended.si_pid != 0) {
                ADD_FAILURE() << "the run ended before its pause";
                break;
            }
            ::usleep(1000);
        }
        if (m_pause >= 0) {
            EXPECT_EQ(::write(m_pause, "p", 1), 1);
        }
    }
    void Release() {
        if (m_pause >= 0) ::close(std::exchange(m_pause, -1));
    }

    void Write(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        fs::permissions(m_dir / name, static_cast<fs::perms>(mode));
    }
    std::string Read(const std::string& name) const { return ReadBytes(m_dir / name); }
    // Every entry with its bytes ("/" for a folder, "|" for anything else not a file).
    Files Contents() const {
        Files files;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_dir)) {
            const std::string name = entry.path().lexically_relative(m_dir).string();
            files[name] = entry.is_directory()      ? "/"
                          : entry.is_regular_file() ? ReadBytes(entry.path())
                                                    : "|";
        }
        return files;
    }
    // Every entry under the lists folder, hidden ones too: a leftover
    // temporary file shows up here.
    Names Listing() const {
        Names names;
        for (const auto& entry : Contents()) names.push_back(entry.first);
        return names;
    }

    TempDir m_temp;
    fs::path m_root = m_temp.Path();
    fs::path m_dir = m_root / "lists";
    std::string m_command;
    int m_runs = 0;
    int m_pause = -1;
    std::string m_pauseVariable = "LINTRIM_PAUSE";
};

// One run on files made beforehand: its exit, both streams (times as T)
// and every file of the folder afterwards, byte for byte.
struct Case {
    Files before;
    Names args;
    std::string report;  // "exit|standard output|standard error"
    Files after = {};    // each file the run made or changed; the others stay as before
    const char* linuxOnly = nullptr;  // why the case does not apply to Windows
    std::string windowsReport = {};   // where Windows says it otherwise
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << Joined(c.args);
}

class CliRunTest : public CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CliRunTest, LeavesExactlyTheseFiles) {
    const Case& c = GetParam();
    if (OnWindows() && c.linuxOnly) GTEST_SKIP() << "Linux only: " << c.linuxOnly;
    for (const auto& [name, bytes] : c.before) Write(name, bytes);
    const RunResult r = Run(c.args);
    EXPECT_EQ(std::to_string(r.exit) + "|" + WithoutTime(r.out) + "|" + WithoutTime(r.err),
              OnWindows() && !c.windowsReport.empty() ? c.windowsReport : c.report);
    Files after = c.before;
    for (const auto& [name, bytes] : c.after) after[name] = bytes;
    EXPECT_EQ(Contents(), after);
}

// Mixed line ends, an empty line, no final newline; by frequency (b 3, a 2,
// d 2, c 1) differs from file order, and a and d tie.
const Files kThree{
    {"1", "b\na\r\nb\n\nc\r\nb\na"}, {"2", "c\nd\na\nb\nb\na\nb\nd\n"}, {"3", "\n\r\n\n"}};
const std::string kThreeReport =
    "0|1: 6 read, 3 kept, 3 removed (3 repeated), T s\n2: 8 read, 4 kept, 4 removed (4 "
    "repeated), T s\n3: 0 read, 0 kept, 0 removed, T s\n|";
Files Three(const std::string& first, const std::string& second) {
    return {{"3", ""}, {"1", first}, {"2", second}};
}
std::string Times(int count, const std::string& text) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}
// `text` for each of `formats` in turn, with its name for every '@'.
std::string Each(const std::string& text,
                 const Names& formats = {"gzip", "xz", "zstd", "bzip2", "lz4"}) {
    std::string all;
    for (const std::string& format : formats)
        all += std::regex_replace(text, std::regex("@"), format);
    return all;
}
// The failures of `names` (in turn): each refused as a list, as a reference
// list and as a list merged into an output.
std::string Refused(const std::vector<std::pair<std::string, std::string>>& names) {
    std::string all;
    for (const auto& [name, why] : names)
        all += name + ": Invalid input file (" + why + ")\n" + name + ": Invalid ref file (" + why +
               ")\n" + name + ": Invalid input file (" + why + ")\n";
    return all;
}
const std::string kMustard =
    std::string(255, 'a') + "\nmustard\n" + std::string(300, 'b') + "\nmustard\n";
const std::string kIn = "x\ny\nx\nz\nw\nw\n";
const std::string kLine = "y\nx\r\nxx\nx\n\ny\n-x\nx";

const std::string kLongLine = "a\n\nb\n" + std::string(3 << 20, 'x') + "\nb\n";
const std::string kLongBytes = std::string(299, '\xaa') + "\xbb";
// Lines ended by several CRs, a CR alone, an inner CR encoded, bytes a line
// cannot stand for, and a final line ended by a CR.
const std::string kRerun =
    "x\r\r\nq\nx\n\r\r\ntail\r\n$HEX[610d62]\na:b\nA\n$HEX[2448455820]\n$HEX[610d]\ntail\r";
const std::string kEdges =
    "p\n$HEX[70]\n$HEX[7]\n$HEX[6A]\n$HEX[6a]\nJ\n$HEX[]\n$HEX[]\n$HEX[610d]\n$HEX[0a]\n\xe9\n$HEX["
    "c9]\n$HEX[" +
    std::string(598, 'a') + "BB]\n" + kLongBytes;

INSTANTIATE_TEST_SUITE_P(
    Jobs, CliRunTest,
    ::testing::Values(
        Case{kThree,
             {"--crlf", "1", "2", "3"},
             kThreeReport,
             Three("b\r\na\r\nc\r\n", "c\r\nd\r\na\r\nb\r\n")},
        Case{kThree,
             {"--alphabetize", "-q", "1", "2", "3"},
             kThreeReport,
             Three("a\nb\nc\n", "a\nb\nc\nd\n")},
        Case{kThree,
             {"--by-frequency", "1", "2", "3"},
             kThreeReport,
             Three("b\na\nc\n", "b\nd\na\nc\n")},
        Case{{{"-f.txt", "b\nb\n"}},
             {"--", "-f.txt"},
             "0|-f.txt: 2 read, 1 kept, 1 removed (1 repeated), T s\n|",
             {{"-f.txt", "b\n"}}},
        // The reference lists' lines are counted apart from the list's own.
        Case{{{"in1.txt", kIn}, {"in2.txt", "q\nv"}, {"r1.txt", "x\nq\n"}, {"r2.txt", "z\r\n"}},
             {"--ref", "r1.txt", "--ref=r2.txt", "in1.txt", "in2.txt"},
             "0|in1.txt: 6 read, 2 kept, 4 removed (1 repeated, 3 in references), 3 reference "
             "lines, T s\nin2.txt: 2 read, 1 kept, 1 removed (1 in references), 3 reference lines, "
             "T s\n|",
             {{"in1.txt", "y\nw\n"}, {"in2.txt", "v\n"}}},
        Case{{{"r.txt", "x\n"}, {"in.txt", "y\nx\nv\nw\nw\n"}},
             {"-f", "-r", "r.txt", "in.txt"},
             "0|in.txt: 5 read, 3 kept, 2 removed (1 repeated, 1 in references), 1 reference "
             "line, T s\n|",
             {{"in.txt", "w\ny\nv\n"}}},
        Case{{{"l.txt", kLine}},
             {"-d", "x", "--lf", "l.txt"},
             "0|l.txt: 7 read, 4 kept, 3 removed (3 the given line), T s\n|",
             {{"l.txt", "y\nxx\ny\n-x\n"}}},
        Case{{{"l.txt", kLine}},
             {"--del-single=x", "-a", "l.txt"},
             "0|l.txt: 7 read, 4 kept, 3 removed (3 the given line), T s\n|",
             {{"l.txt", "-x\nxx\ny\ny\n"}}},
        // Merged: each line once, at its first place in the order given.
        Case{{{"a.txt", "b\nc\nb\n"}, {"b.txt", "a\nc\nd\r\nb"}},
             {"-o", "all.txt", "b.txt", "a.txt"},
             "0|all.txt: 7 read, 4 kept, 3 removed (3 repeated), T s\n|",
             {{"all.txt", "a\nc\nd\nb\n"}}},
        Case{{{"a.txt", "b\nc\nb\n"}, {"b.txt", "a\nc\n"}},
             {"-o", "a.txt", "a.txt", "b.txt"},
             "0|a.txt: 5 read, 3 kept, 2 removed (2 repeated), T s\n|",
             {{"a.txt", "b\nc\na\n"}}},
        Case{{{"a.txt", "b\nc\n"}, {"b.txt", "a\nc\n"}, {"r.txt", "c\n"}},
             {"-o", "o.txt", "-r", "r.txt", "--lf", "a.txt", "b.txt"},
             "0|o.txt: 4 read, 2 kept, 2 removed (2 in references), 1 reference line, T s\n|",
             {{"o.txt", "b\na\n"}}},
        Case{{{"a.txt", "b\nc\n"}, {"b.txt", "c\nb\n"}},
             {"-d", "c", "-o", "o.txt", "a.txt", "b.txt"},
             "0|o.txt: 4 read, 2 kept, 2 removed (2 the given line), T s\n|",
             {{"o.txt", "b\nb\n"}}},
        // The name given is the one written, though it is another name of a
        // list; a device is written as it is, and its failing call named.
        Case{{{"a.txt", "b\nb\n"}, {"b.txt", "c\n"}},
             {"|",
              "ln a.txt h.txt; $CLI -q --lf -o h.txt a.txt b.txt; $CLI -o /dev/null b.txt; "
              "$CLI -o /dev/full b.txt || :"},
             "0|h.txt: 3 read, 2 kept, 1 removed (1 repeated), T s\n/dev/null: 1 read, 1 kept, 0 "
             "removed, T s\n|/dev/full: output list can't be written (write: No space left on "
             "device)\n",
             {{"h.txt", "b\nc\n"}},
             "hard links made with ln, /dev/null and /dev/full"},
        // Lengths at their bounds: 2 and 3 bytes stay, the break not counted.
        Case{{{"l.txt", "a\nbb\r\nccc\ndddd\nbb\n"}},
             {"--min-length", "2", "--max-length=3", "l.txt"},
             "0|l.txt: 5 read, 2 kept, 3 removed (1 repeated, 2 by length), T s\n|",
             {{"l.txt", "bb\nccc\n"}}},
        Case{{{"l.txt", "a\nbb\nccc\nbb\n"}},
             {"-d", "bb", "--max-length", "2", "-a", "l.txt"},
             "0|l.txt: 4 read, 1 kept, 3 removed (2 the given line, 1 by length), T s\n|",
             {{"l.txt", "a\n"}}},
        // Standard input and output in real pipes, gzip found by its magic.
        Case{{{"l.txt", "b\na\nb\n"}},
             {"|", "gzip -c l.txt | $CLI --lf -o - - | cat > o.txt"},
             "0||-: 3 read, 2 kept, 1 removed (1 repeated), T s\n",
             {{"o.txt", "b\na\n"}}},
        Case{{{"l.txt", "b\na\nb\n"}},
             {"|",
              "gzip -c l.txt >l.gz; cat l.gz l.gz >2.gz; $CLI -r l.gz -o o 2.gz l.txt; rm *.gz"},
             "0|o: 9 read, 0 kept, 9 removed (9 in references), 3 reference lines, T s\n|",
             {{"o", ""}}},
        Case{{{"l.txt", "b\na\nb\n"}},
             {"|", "printf 'a\\nb\\na\\n' | $CLI -o o --removed r - l.txt"},
             "0|o: 6 read, 2 kept, 4 removed (4 repeated), T s\n|",
             {{"o", "a\nb\n"}, {"r", "a\nb\na\nb\n"}}},
        // Standard input of unknown size, its one partition split again to
        // stay within the budget, in file order and sorted, alike with any
        // number of threads.
        Case{{},
             {"|",
              "seq 300000 | sed p | $CLI -q -j3 --memory 16M --lf -o o - 2>/dev/null; seq 300000 | "
              "cmp - o; "
              "for j in 1 3; do $CLI -q -j$j -a --memory 16M --lf -o a$j - <o 2>/dev/null; done; "
              "LC_ALL=C sort o | cmp - a1; cmp a1 a3; rm o a*"},
             "0|o: 600000 read, 300000 kept, 300000 removed (300000 repeated), T s\na1: 300000 "
             "read, 300000 kept, 0 removed, T s\na3: 300000 read, 300000 kept, 0 removed, T s\n|"},
        // Zero padding after the last member is gzip's (other bytes there: below).
        Case{{{"l.txt", "b\na\nb\n"}},
             {"|", "gzip -c l.txt >z.gz; head -c 999 /dev/zero >>z.gz; $CLI -o o z.gz; rm z.gz"},
             "0|o: 3 read, 2 kept, 1 removed (1 repeated), T s\n|",
             {{"o", "b\na\n"}}},
        // More lists than descriptors: only a list being read holds any.
        Case{{},
             {"|",
              "for i in $(seq 200); do echo b >$i.l; R=\"$R -r $i.l\"; done; echo b >s; "
              "L=\"prlimit -n64 $CLI\"; $L -o o *.l; $L -o p --removed r *.l; $L $R s; "
              "wc -l <r; rm *.l r"},
             "0|o: 200 read, 1 kept, 199 removed (199 repeated), T s\np: 200 read, 1 kept, 199 "
             "removed (199 repeated), T s\ns: 1 read, 0 kept, 1 removed (1 in references), 200 "
             "reference lines, T s\n199\n|",
             {{"o", "b\n"}, {"p", "b\n"}, {"s", ""}},
             "prlimit"},
        // A dry run counts as the run would and touches nothing, not even a
        // read-only list or a file held by no one.
        Case{{{"a", "b\nb\nc\n"}, {"b", "c\nd\n"}, {"o", "x\n"}},
             {"|",
              "chmod 444 a; $CLI -n a; $CLI --dry-run -f -o o --removed r a b; ls -A | tr '\\n' "
              "' '"},
             "0|a: dry run, 3 read, 2 kept, 1 removed (1 repeated), T s\no: dry run, 5 read, 3 "
             "kept, 2 removed (2 repeated), T s\na b o |"},
        // --stats describes the list's own lines, whichever job runs.
        Case{{},
             {"|",
              "printf 'pass\\r\\npass\\n\\351\\na\\0b\\n$HEX[70617373]\\n%0300d\\nx' 0 >l; "
              "$CLI -n --stats l; $CLI -n --stats -d pass l; rm l"},
             "0|l: dry run, 7 read, 6 kept, 1 removed (1 repeated), T s\n  lengths: 1: 2, 3: 1, "
             "4: 2, 14: 1, 256+: 1\n  CR LF: 1, above 127: 1, NUL: 1, $HEX[]: 1\nl: dry run, 7 "
             "read, 5 kept, 2 removed (2 the given line), T s\n  lengths: 1: 2, 3: 1, 4: 2, 14: 1, "
             "256+: 1\n  CR LF: 1, above 127: 1, NUL: 1, $HEX[]: 1\n|"},
        // --json: one object a line (failures: JsonIsValidUtf8AndGivesEveryNameBack).
        Case{{{"a", "b\nb\n"}},
             {"|", "$CLI --json a | sed 's/:[0-9.]*}/:T}/'"},
             "0|{\"lists\":[\"a\"],\"output\":\"\",\"written\":true,\"read\":2,\"reference_"
             "lines\":0,\"kept\":1,\"removed\":1,\"repeated\":1,\"in_references\":0,\"given_"
             "line\":0,\"by_length\":0,\"by_set_operation\":0,\"by_class\":0,\"not_"
             "selected\":0,\"seconds\":T}\n|",
             {{"a", "b\n"}}},
        // The bash completion offers options, files after a file option and
        // for the lists, nothing after a number.
        Case{{{"l.txt", ""}},
             {"|",
              "for w in '--thr' '-r l' 'l' '-j 1'; do bash -c '. $COMPLETION; COMP_WORDS=(x $*); "
              "COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _lintrim_cli; echo \"${COMPREPLY[*]}.\"' - $w; "
              "done"},
             "0|--threads.\nl.txt.\nl.txt.\n.\n|",
             {},
             "the bash completion"},
        // Failures name their file and cause.
        // Each compressed format, made by its own tool, is found by its magic
        // whatever the name, in lists, reference lists and standard input,
        // two streams read as one; cleaned in place, a list stays in its
        // format and its tool reads the result back.
        Case{{{"l", "b\na\nb\n"}, {"r", "a\n"}},
             {"|",
              "for z in gzip xz zstd bzip2 lz4; do $z -c l >l.$z; $z -c l >>l.$z; $z -c r >r.$z; "
              "$z -c l | $CLI --lf -r r.$z -o - -; done; $CLI --lf l.gzip l.xz l.zstd l.bzip2 "
              "l.lz4; for z in gzip xz zstd bzip2 lz4; do $z -dc <l.$z; rm l.$z r.$z; done"},
             "0|b\nb\nb\nb\nb\n" + Each("l.@: 6 read, 2 kept, 4 removed (4 repeated), T s\n") +
                 Times(5, "b\na\n") + "|" +
                 Times(5,
                       "-: 3 read, 1 kept, 2 removed (1 repeated, 1 in references), 1 reference "
                       "line, T s\n"),
             {},
             "xz, zstd, bzip2 and lz4 are not in the Windows build"},
        // A named output or file of removed lines is compressed as its name
        // ends (each list's removed lines a stream of their own); standard
        // output is plain.
        Case{{{"a", "b\na\nb\n"}, {"c", "c\nc\n"}},
             {"|",
              "for e in gz xz zst bz2 lz4; do $CLI -q --lf -o o.$e --removed r.$e a c >/dev/null; "
              "done; gzip -dc o.gz r.gz; xz -dc o.xz r.xz; zstd -qdc o.zst r.zst; bzip2 -dc o.bz2 "
              "r.bz2; lz4 -dc <o.lz4; lz4 -dc <r.lz4; $CLI -q --lf --removed r.BZ2 a c; bzip2 -dc "
              "r.BZ2; $CLI --lf -o - o.xz; rm o.* r.*"},
             "0|" + Times(5, "b\na\nc\nb\nc\n") +
                 "a: 3 read, 2 kept, 1 removed (1 repeated), T s\nc: 2 read, 1 kept, 1 removed (1 "
                 "repeated), T s\nb\nc\nb\na\nc\n|-: 3 read, 3 kept, 0 removed, T s\n",
             {{"a", "b\na\n"}, {"c", "c\n"}},
             "xz, zstd, bzip2 and lz4 are not in the Windows build"},
        // Compressed data cut short, damaged or followed by other bytes is
        // not used at all, and the list stays as it was; xz's padding
        // between and after streams is zero bytes in fours.
        Case{{},
             {"|",
              "seq 1000 >s; for z in gzip xz zstd bzip2 lz4; do $z -c s | head -c -5 >$z.cut; "
              "$z -c s >$z.bad; printf XYZW | dd of=$z.bad bs=1 seek=$(($(wc -c <$z.bad) / 2)) "
              "conv=notrunc status=none; { $z -c s; echo x; } >$z.end; "
              "for f in $z.*; do cp $f k; $CLI $f || cmp $f k; rm $f; done; done; "
              "{ xz -c s; head -c 8 /dev/zero; xz -c s; } >p; $CLI -o /dev/null - <p; "
              "head -c 3 /dev/zero >>p; $CLI -o /dev/null p || rm s k p"},
             "0|/dev/null: 2000 read, 1000 kept, 1000 removed (1000 repeated), T s\n|" +
                 std::regex_replace(
                     Each("@.bad: input list can't be read (the @ data is corrupt)\n@.cut: input "
                          "list can't be read (the @ data is cut short)\n@.end: input list can't "
                          "be read (garbage after the @ data)\n"),
                     std::regex("the gzip data is corrupt"), "incorrect data check") +
                 "p: input list can't be read (the xz data is corrupt)\n",
             {},
             "xz, zstd, bzip2 and lz4 are not in the Windows build"},
        // A packed file that holds no word list, made by its own tool, is
        // refused as a list, a reference or an input of -o, before anything
        // is read, named with its kind; every file stays as it was.
        Case{{{"l", "b\na\nb\n"}},
             {"|",
              "seq 100 >s; zip -q s.zip s; 7zz a -bso0 -bsp0 s.7z s; lzip -c s >s.lz; "
              "xz --format=lzma -c s >s.lzma; compress -c s >s.Z; lz4 -lc s >s.lz4l; "
              "tar cf s.tar s; gzip -c s.tar >s.tgz; printf 'PK\\5\\6%018d' 0 | tr 0 '\\0' >e.zip; "
              "for f in s.* e.zip; do cp $f k; $CLI $f l || :; $CLI -r $f l || :; "
              "$CLI -o o l $f || :; cmp $f k; rm $f; done; rm s k"},
             "0||" + Refused({{"s.7z", "a 7z archive, not a word list"},
                              {"s.Z", "a compress (.Z) file, not a word list"},
                              {"s.lz", "an lzip file, not a word list"},
                              {"s.lz4l", "a legacy lz4 file, not a word list"},
                              {"s.lzma", "an lzma file, not a word list"},
                              {"s.tar", "a tar archive, not a word list"},
                              {"s.tgz", "a tar archive compressed with gzip, not a word list"},
                              {"s.zip", "a zip archive, not a word list"},
                              {"e.zip", "a zip archive, not a word list"}})},
        // A tar archive inside any compressed list, also on standard input
        // (copied aside for --removed, or read as it comes).
        Case{{},
             {"|",
              "seq 100 >s; tar cf t s; $CLI -o o - <t || :; for z in xz zstd bzip2 lz4; do "
              "$z -qc t >t.$z; cp t.$z k; $CLI t.$z || :; $CLI -o o - <t.$z || :; "
              "$CLI -o o --removed r - <t.$z || :; cmp t.$z k; rm t.$z; done; rm s t k"},
             "0||-: Invalid input file (a tar archive, not a word list)\n" +
                 Each("t.@: Invalid input file (a tar archive compressed with @, not a word "
                      "list)\n" +
                          Times(2,
                                "-: Invalid input file (a tar archive compressed with @, not a "
                                "word list)\n"),
                      {"xz", "zstd", "bzip2", "lz4"}),
             {},
             "xz, zstd, bzip2 and lz4 are not in the Windows build"},
        // Plain lists that start as a packed file might are lists: "ustar" at
        // byte 257 of a block with no tar checksum, "LZIP" with no version.
        Case{{{"m", kMustard}, {"w", "LZIP\nPK\nLZIP\n"}},
             {"--lf", "m", "w"},
             "0|m: 4 read, 3 kept, 1 removed (1 repeated), T s\nw: 3 read, 2 kept, 1 removed (1 "
             "repeated), T s\n|",
             {{"m", kMustard.substr(0, kMustard.size() - 8)}, {"w", "LZIP\nPK\n"}}},
        // A stream whose decoder needs more memory than the budget allows
        // is refused, naming the need, and the list stays; a larger budget
        // reads it. In s.zst a skippable frame puts the large window's frame
        // header across the 256 KiB blocks the compressed bytes are read in.
        Case{{},
             {"|",
              "seq 1000 | zstd -q --long=27 >w.zst; seq 1000 | xz -9 >x.xz; "
              "printf '\\120\\052\\115\\030\\365\\377\\003\\000' >s.zst; "
              "head -c 262133 /dev/zero >>s.zst; cat w.zst >>s.zst; for f in w.zst x.xz s.zst; "
              "do cp $f k; $CLI --memory 16M $f || cmp $f k; $CLI -q --memory 1G -o - $f | wc -l; "
              "done; rm w.zst x.xz s.zst k"},
             "0|1000\n1000\n1000\n|w.zst: input list can't be read (the zstd stream needs 128 MiB "
             "for its window; the memory budget allows 12 MiB)\n-: 1000 read, 1000 kept, 0 "
             "removed, T s\nx.xz: input list can't be read (the xz stream needs 65 MiB for its "
             "dictionary; the memory budget allows 12 MiB)\n-: 1000 read, 1000 kept, 0 removed, "
             "T s\ns.zst: input list can't be read (the zstd stream needs 128 MiB for its window; "
             "the memory budget allows 12 MiB)\n-: 1000 read, 1000 kept, 0 removed, T s\n",
             {},
             "xz and zstd are not in the Windows build"},
        // A line too long to hold within the budget is refused by its number
        // (empty lines count) and length, in a list or a reference list, and
        // the lists stay; a larger budget holds it.
        Case{{{"l", kLongLine}, {"r", "x\n" + std::string(3 << 20, 'y')}, {"s", "x\nq\n"}},
             {"|",
              "$CLI --memory 16M l || $CLI --memory 16M -r r s || $CLI -q --memory 64M -o - l | wc "
              "-l"},
             "0|3\n|l: line too long for the memory budget (line 4 holds 3145728 bytes; the memory "
             "budget holds lines of up to 2097152)\nr: line too long for the memory budget (line 2 "
             "holds 3145728 bytes; the memory budget holds lines of up to 2097152)\n-: 4 read, 3 "
             "kept, 1 removed (1 repeated), T s\n",
             {{"l", kLongLine}, {"r", "x\n" + std::string(3 << 20, 'y')}, {"s", "x\nq\n"}}},
        Case{{{"in.txt", "x\ny\ny\n"}, {"r1.txt", "x\n"}},
             {"-r", "r1.txt", "-r", "gone.txt", "in.txt"},
             "1||gone.txt: Invalid ref file (No such file or directory)\n"},
        // Every list is opened and checked before the first is replaced: a
        // list that cannot be is named, and none is touched (in.txt out.txt
        // is a dedupe of both, not a copy).
        Case{{{"1", "a\na\nb\n"}, {"3", "b\nc\n"}},
             {"|", "$CLI --cascade 1 2 3 || $CLI 1 3 4 || $CLI -r 3 1 4"},
             "1||2: Invalid input file (No such file or directory)\n4: Invalid input file (No "
             "such file or directory)\n4: Invalid input file (No such file or directory)\n"},
        // One file is one list, whatever names reach it, in every job: a
        // list cleaned twice in a cascade would lose every line to itself.
        Case{
            {{"a.txt", "x\nx\ny\n"}, {"b.txt", "y\n"}},
            {"|",
             "for a in '--cascade a.txt a.txt' 'b.txt ./a.txt ../lists/a.txt' '-o o a.txt ./a.txt' "
             "'-d x b.txt ./b.txt'; do $CLI $a 2>&1 | head -1; done"},
            "0|lintrim-cli: a.txt and a.txt are one file: a list is named once\nlintrim-cli: "
            "./a.txt and ../lists/a.txt are one file: a list is named once\nlintrim-cli: a.txt "
            "and ./a.txt are one file: a list is named once\nlintrim-cli: b.txt and ./b.txt are "
            "one file: a list is named once\n|"},
        Case{{{"a.txt", "x\nx\ny\n"}},
             {"|",
              "ln -s a.txt s; ln a.txt h; $CLI --cascade a.txt s || echo $?; $CLI -f h a.txt || "
              "echo $?; rm s h"},
             "0|2\n2\n|lintrim-cli: a.txt and s are one file: a list is named once\nusage: "
             "lintrim-cli "
             "[OPTIONS] LIST...\nlintrim-cli: h and a.txt are one file: a list is named "
             "once\nusage: lintrim-cli [OPTIONS] LIST...\n",
             {},
             "symbolic and hard links made with ln"},
        // -s prints no summary; a machine asked for more than it has is warned of.
        Case{{{"l.txt", "b\nb\n"}},
             {"|", "$CLI -s -j 256 l.txt 2>&1 | sed 's/the [0-9]* processors/the N processors/'"},
             "0|lintrim-cli: warning: -j 256 is more threads than the N processors here; the run "
             "is slower for it\n|",
             {{"l.txt", "b\n"}}},
        // -d is repeatable: every copy of each line goes.
        Case{{{"l.txt", "a\nb\nc\na\nB\n"}},
             {"-d", "a", "-d", "b", "-i", "l.txt"},
             "0|l.txt: 5 read, 1 kept, 4 removed (4 the given line), T s\n|",
             {{"l.txt", "c\n"}}},
        // A read-only list is not even opened for writing; only regular files are lists.
        Case{{{"ro", "a\na\n"}, {"l", "b\n"}},
             {"|", "chmod 444 ro; $CLI ro l || echo $?; stat -c %a ro"},
             "0|1\n444\n|ro: output list can't be opened (access: Permission denied)\n",
             {},
             nullptr,
             "0|1\n444\n|ro: output list can't be opened (its read-only attribute is set)\n"},
        Case{{{"l", "b\n"}},
             {"|",
              "mkdir d; mkfifo f; for x in d f /dev/null; do $CLI $x l 2>&1 | head -1; done; "
              "$CLI -rd l || :"},
             "0|d: Invalid input file (not a regular file)\nlintrim-cli: f is not a regular file: "
             "a list rewritten in place is replaced by a new file; a FIFO or a device can only be "
             "merged into one output or be a reference list\nlintrim-cli: /dev/null is not a "
             "regular file: a list rewritten in place is replaced by a new file; a FIFO or a "
             "device can only be merged into one output or be a reference list\n|d: Invalid ref "
             "file (not a regular file)\n",
             {{"d", "/"}, {"f", "|"}},
             "FIFOs and /dev/null"},
        // Filtering without deduping: every copy not removed stays in its place.
        Case{{{"l", "a\nb\nc\na\nd\nb\nbb\nA\n"}, {"r", "b\n"}},
             {"--keep-repeats", "-r", "r", "--removed", "g", "l"},
             "0|l: 8 read, 6 kept, 2 removed (2 in references), 1 reference line, T s\n|",
             {{"l", "a\nc\na\nd\nbb\nA\n"}, {"g", "b\nb\n"}}},
        Case{{{"m", "x\nyy\nx\n"}, {"n", "yy\nzzz\n"}},
             {"--keep-repeats", "--max-length", "2", "-o", "o", "m", "n"},
             "0|o: 5 read, 4 kept, 1 removed (1 by length), T s\n|",
             {{"o", "x\nyy\nx\nyy\n"}}},
        // In one list only, however often there.
        Case{{{"a", "x\nx\ny\n"}, {"b", "y\nz\n"}},
             {"--only-in-one", "-o", "o", "a", "b"},
             "0|o: 5 read, 2 kept, 3 removed (1 repeated, 2 in more than one list), T s\n|",
             {{"o", "x\nz\n"}}},
        // Classes and case: judged as read, compared and sorted as written.
        Case{{{"c", "Abc\nabc\n123\nABC\n_x\n\xc3\xa9t\n\x01a\n"}},
             {"--upper", "-a", "--printable", "--reject", "digit", "-o", "o", "c"},
             "0|o: 7 read, 2 kept, 5 removed (2 repeated, 3 by class), T s\n|",
             {{"o", "ABC\n_X\n"}}},
        Case{{{"c", "Abc\nabc\n123\n_x\n\xc3\xa9t\n"}},
             {"--lower", "--require", "upper,high", "c"},
             "0|c: 5 read, 2 kept, 3 removed (3 by class), T s\n|",
             {{"c", "abc\n\xc3\xa9t\n"}}},
        // Lengths in bytes or characters; one file a length, all or none.
        Case{{{"l", "ccc\na\nbb\nz\n\xc3\xa9\nxx\na\n"}},
             {"-l", "--chars", "-o", "o", "l"},
             "0|o: 7 read, 6 kept, 1 removed (1 repeated), T s\n|",
             {{"o", "a\nz\n\xc3\xa9\nbb\nxx\nccc\n"}}},
        Case{{{"l", "ccc\na\nbb\nz\n\xc3\xa9\nxx\na\n"}},
             {"--split-by-length", "d", "--crlf", "l"},
             "0|d: 7 read, 6 kept, 1 removed (1 repeated), T s\n|",
             {{"d", "/"},
              {"d/1.txt", "a\r\nz\r\n"},
              {"d/2.txt", "bb\r\n\xc3\xa9\r\nxx\r\n"},
              {"d/3.txt", "ccc\r\n"}}},
        Case{{{"l", "ccc\na\nbb\n"}},
             {"|", "mkdir -p d/2.txt; $CLI --split-by-length d l || echo $?"},
             "0|1\n|d/2.txt: output list can't be opened (not a regular file)\n",
             {{"d", "/"}, {"d/2.txt", "/"}}},
        // FIFOs, devices and standard input are read as they come, as reference
        // lists and as lists merged into one output; a FIFO read twice (for the
        // removed lines, for each of several lists) is copied aside first.
        Case{{{"l", "a\nb\nc\na\nd\n"}},
             {"|",
              "mkfifo p; printf 'a\\nz\\n' >p & printf 'd\\n' | $CLI -s -r p -r - -o o l; "
              "printf 'x\\nb\\n' >p & $CLI -s -o q p /dev/stdin l </dev/null; "
              "printf 'b\\nb\\n' >p & $CLI -s -r /dev/null -o s --removed r p l; "
              "cp l m; printf 'c\\n' >p & $CLI -s -r p l m; wait; rm p"},
             "0||",
             {{"l", "a\nb\nd\n"},
              {"m", "a\nb\nd\n"},
              {"o", "b\nc\n"},
              {"q", "x\nb\na\nc\nd\n"},
              {"s", "b\na\nc\nd\n"},
              {"r", "b\nb\na\n"}},
             "FIFOs and /dev/stdin"},
        // The temporary folder is checked first, standard input spooled there.
        Case{{{"l.txt", "b\n"}},
             {"|", "$CLI --temp-dir no l.txt || printf a | TMPDIR=none $CLI --removed r -o o -"},
             "1||no: temporary file can't be made (No such file or directory)\nnone: temporary "
             "file can't be made (No such file or directory)\n",
             {},
             "TMPDIR (Windows takes TMP)"},
        // A name in UTF-8 and a path longer than Windows' classic limit.
        Case{{{"\xc3\xa9.txt", "b\nb\n"}},
             {"|",
              "d=$(printf %0100d 0); mkdir -p $d/$d/$d; printf 'b\\nb\\n' >$d/$d/$d/l; "
              "$CLI -q $d/$d/$d/l 2>&1 >/dev/null | grep -v ^wine: || :; cat $d/$d/$d/l; "
              "$CLI \xc3\xa9.txt; rm -r $d"},
             "0|b\n\xc3\xa9.txt: 2 read, 1 kept, 1 removed (1 repeated), T s\n|",
             {{"\xc3\xa9.txt", "b\n"}}},
        // A run holds an existing output from the start: a second run on it is
        // refused (tried, until the first holds it, by a run that fails before
        // it writes anything), and the first writes it.
        Case{{{"l.txt", "b\nb\n"}},
             {"|",
              "mkfifo p; { $CLI -q -o l.txt - <p >/dev/null; } & exec 3>p; for i in $(seq 100); "
              "do $CLI --removed l.txt none 2>&1 | grep -q 'in use' && break; sleep 0.1; done; "
              "$CLI l.txt || :; echo x >&3; exec 3>&-; wait; rm p"},
             "0||l.txt: input list is in use by another run\n",
             {{"l.txt", "x\n"}}},
        // A compressed format the build leaves out is refused, naming the file.
        Case{{{"l", "b\na\nb\n"}},
             {"|",
              "xz -c l >l.xz; lz4 -c l >l.lz4; $CLI --lf l.xz || :; $CLI --lf l.lz4 || :; "
              "$CLI -q --lf -o o.zst l >/dev/null && zstd -qdc o.zst; xz -dc l.xz; "
              "lz4 -dc <l.lz4; rm -f l.xz l.lz4 o.zst"},
             "0|l.xz: 3 read, 2 kept, 1 removed (1 repeated), T s\nl.lz4: 3 read, 2 kept, 1 "
             "removed (1 repeated), T s\nb\na\nb\na\nb\na\n|",
             {},
             nullptr,
             "0|b\na\nb\nb\na\nb\n|l.xz: input list can't be read (xz lists are not supported by "
             "this build)\nl.lz4: input list can't be read (lz4 lists are not supported by this "
             "build)\nlintrim-cli: o.zst: zstd lists are not supported by this build\nusage: "
             "lintrim-cli [OPTIONS] LIST...\n"},
        // Keys and forms at their edges: odd digits, digits in either case, empty
        // $HEX[] and bytes a line cannot hold (which stay encoded), bytes above 127
        // exact, keys longer than a chunk; removed lines are written as read.
        Case{
            {{"l", kEdges}},
            {"--hex", "-i", "--decode-hex", "--lf", "--removed", "r", "l"},
            "0|l: 14 read, 9 kept, 5 removed (5 repeated), T s\n|",
            {{"l", "p\n$HEX[7]\nj\n$HEX[]\n$HEX[610d]\n$HEX[0a]\n\xe9\n\xc9\n" + kLongBytes + "\n"},
             {"r", "$HEX[70]\n$HEX[6a]\nJ\n$HEX[]\n" + kLongBytes + "\n"}}},
        Case{{{"l", "a:b\n\xe9t\nt\t\n$HEX[70]\nok\n$HEX[7g]\n" + std::string(200, '\x11')}},
             {"--hex", "--encode-hex", "--lf", "l"},
             "0|l: 7 read, 7 kept, 0 removed, T s\n|",
             {{"l", "$HEX[613a62]\n$HEX[e974]\n$HEX[7409]\np\nok\n$HEX[244845585b37675d]\n$HEX[" +
                        std::string(400, '1') + "]\n"}}},
        // Every CR at a line's end belongs to its break, so a run on its own
        // result changes nothing, whatever the options; an inner CR stands in
        // a line, so decoding gives back what encoding made of it.
        Case{{{"l", kRerun}, {"r", "q\r\r\n"}, {"c", "\r\r\nz\nq\n"}},
             {"|",
              "for o in '' --crlf -a '-f -i' --hex '--hex --encode-hex' '--hex --decode-hex "
              "--crlf' '-d x' '-r r' '--min-length 2'; do cp l m; $CLI $o m >/dev/null; cp m n; "
              "$CLI $o n >/dev/null; cmp -s m n || echo \"differs: $o\"; done; cp l m; $CLI "
              "--cascade m c >/dev/null; cat m c; printf 'a\\rb\\n' >e; for o in --encode-hex "
              "--decode-hex; do $CLI $o e >/dev/null; od -An -c e; done; rm m n e"},
             "0|x\nq\ntail\n$HEX[610d62]\na:b\nA\n$HEX[2448455820]\n$HEX[610d]\nz\n   $   H   E   "
             "X   [   6   1   0   d   6   2   ]  \\n\n   a  \\r   b  \\n\n|",
             {{"c", "z\n"}}}));

// --json on names of every kind of byte sequence, valid or not (a name
// cannot hold a NUL): each line is valid UTF-8 JSON, each maximal part that
// is not UTF-8 is one U+FFFD, and the name's bytes come in hex beside it.
TEST_F(CliTest, JsonIsValidUtf8AndGivesEveryNameBack) {
    struct Name {
        std::string bytes;
        std::string json;  // the string as written, without its quotes
        bool utf8;
    };
    const std::string bad = "\\ufffd";
    const std::vector<Name> names{
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9d\x84\x9e", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9d\x84\x9e",
         true},
        {"\xed\x9f\xbf\xee\x80\x80\xf4\x8f\xbf\xbf", "\xed\x9f\xbf\xee\x80\x80\xf4\x8f\xbf\xbf",
         true},
        {"\x01\x1f\x7f\t", "\\u0001\\u001f\\u007f\\u0009", true},
        {"a\\\"b", "a\\\\\\\"b", true},
        {"n\xff\\", "n" + bad + "\\\\", false},
        {"\xc0\xaf\xc1\xbf", bad + bad + bad + bad, false},            // overlong, 2 bytes
        {"\xe0\x80\xaf", bad + bad + bad, false},                      // overlong, 3 bytes
        {"\xf0\x80\x80\xaf", bad + bad + bad + bad, false},            // overlong, 4 bytes
        {"\xed\xa0\x80", bad + bad + bad, false},                      // a surrogate
        {"\xf4\x90\x80\x80\xf5", bad + bad + bad + bad + bad, false},  // past U+10FFFF
        {"a\xe2\x82", "a" + bad, false},                               // cut at the end
        {"\xf0\x9d\x84x", bad + "x", false},                           // cut before a letter
        {"\x80\xbf", bad + bad, false},                                // lone continuations
    };
    std::string all, joined;
    for (const Name& name : names) {
        // Windows takes its arguments in UTF-16.
        if (OnWindows() && !name.utf8) continue;
        SCOPED_TRACE(name.json);
        joined += name.bytes;
        std::string hex;
        for (const unsigned char c : name.bytes)
            hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
        const std::string string = "\"" + name.json + "\"";
        const RunResult r = Run({"--json", name.bytes});
        EXPECT_EQ(
            std::regex_replace(r.out, std::regex(R"(:[0-9.]+\})"), ":T}"),
            "{\"lists\":[" + string + "]" + (name.utf8 ? "" : ",\"lists_hex\":[\"" + hex + "\"]") +
                ",\"output\":\"\",\"written\":false,\"status\":\"Invalid input "
                "file\",\"cause\":\"No such file or directory\",\"file\":" +
                string + (name.utf8 ? "" : ",\"file_hex\":\"" + hex + "\"") + ",\"seconds\":T}\n");
        all += r.out;
    }
    // Python's parser, which takes bytes as UTF-8 strictly, reads every line,
    // and the hex gives each name back.
    std::ofstream(m_dir / "all.json", std::ios::binary) << all;
    const RunResult parsed =
        Run({"|",
             "python3 -c 'import json,sys; [sys.stdout.buffer.write(bytes.fromhex(o[\"file_hex\"]) "
             "if \"file_hex\" in o else o[\"file\"].encode()) for o in map(json.loads, "
             "open(\"all.json\", \"rb\"))]'"});
    EXPECT_EQ(parsed.out, joined);
    EXPECT_EQ(parsed.exit, 0) << parsed.err;
}

// The removed lines against a model over random lists: every non-empty
// line that is not the first copy of a kept line, in file order.
TEST_F(CliTest, RemovedLinesMatchTheModel) {
    std::mt19937 random(11);
    std::string lists[2];
    std::vector<std::string> lines;
    for (std::string& list : lists)
        for (int i = 0; i < 3000; ++i) {
            lines.push_back(i % 97 ? std::string(random() % 7, 'a' + random() % 3) : "");
            list += lines.back() + (i % 5 ? "\n" : "\r\n");
        }
    Write("a.txt", lists[0]);
    Write("b.txt", lists[1]);
    Write("ref.txt", "aa\nbbb\n");
    const std::set<std::string> refs{"aa", "bbb"};
    for (const bool withRef : {false, true}) {
        Names args{"-o",           "kept.txt", "--removed", "gone.txt", "--min-length", "2",
                   "--max-length", "5",        "--memory",  "16M",      "a.txt",        "b.txt"};
        if (withRef) args.insert(args.begin(), {"-r", "ref.txt"});
        ASSERT_EQ(Run(args).exit, 0);
        std::set<std::string> seen;
        std::string kept, gone;
        for (const std::string& line : lines) {
            if (line.empty()) continue;
            const bool drop = line.size() < 2 || line.size() > 5 || (withRef && refs.count(line));
            (drop || !seen.insert(line).second ? gone : kept) += line + "\n";
        }
        EXPECT_EQ(Read("kept.txt"), kept);
        EXPECT_EQ(Read("gone.txt"), gone);
    }
    EXPECT_EQ(Listing(), (Names{"a.txt", "b.txt", "gone.txt", "kept.txt", "ref.txt"}));
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
    ::testing::Values(
        Misuse{{}, "list"}, Misuse{{"-z", "l.txt"}, "-z"}, Misuse{{"--bogus", "l.txt"}, "--bogus"},
        Misuse{{"-f", "-a", "l.txt"}, "alphabetically"}, Misuse{{"-af", "l.txt"}, "by frequency"},
        Misuse{{"--encode-hex", "--decode-hex", "l.txt"}, "--decode-hex"},
        Misuse{{"-r", "r.txt", "-d", "b", "l.txt"}, "--del-single"},
        Misuse{{"-d", "b", "--by-frequency", "l.txt"}, "by frequency"},
        Misuse{{"l.txt", "--ref"}, "--ref"}, Misuse{{"--quiet=yes", "l.txt"}, "--quiet"},
        Misuse{{"-"}, "one output"}, Misuse{{"-o", "o", "-", "l.txt", "-"}, "once"},
        Misuse{{"-r", "-", "-o", "o", "-"}, "once"},
        Misuse{{"-r", "-", "-r", "-", "l.txt"}, "once"},
        Misuse{{"/dev/null"}, "replaced by a new file"},
        Misuse{{"--keep-repeats", "-f", "l.txt"}, "frequency"},
        Misuse{{"-l", "-a", "l.txt"}, "alphabetically"},
        Misuse{{"--lower", "--upper", "l.txt"}, "--upper"},
        Misuse{{"--only-in-one", "-o", "o", "l.txt"}, "two or more lists"},
        Misuse{{"--upper", "--encode-hex", "l.txt"}, "$HEX"},
        Misuse{{"--reject", "digit,vowel", "l.txt"}, "'vowel'"},
        Misuse{{"--split-by-length", "d", "-o", "o", "l.txt"}, "one output"},
        Misuse{{"--split-by-length", "d", "--decode-hex", "l.txt"}, "$HEX"},
        Misuse{{"--keep-repeats", "--only-unique", "l.txt"}, "set operation"},
        Misuse{{"-r", "/dev/null", "-r", "/dev/null", "l.txt"}, "read once"},
        Misuse{{"--min-length", "3", "--max-length=2", "l.txt"}, "above"},
        Misuse{{"--min-length", "-1", "l.txt"}, "'-1'"},
        Misuse{{"--max-length", "8x", "l.txt"}, "'8x'"},
        Misuse{{"--memory", "lots", "l.txt"}, "'lots'"},
        Misuse{{"--memory", "15M", "l.txt"}, "at least 16M"},
        Misuse{{"--temp-dir=", "l.txt"}, "--temp-dir"},
        Misuse{{"-o", "o", "--removed", "./o", "l.txt"}, "the output"},
        Misuse{{"--removed", "l.txt", "l.txt"}, "a list"},
        Misuse{{"-o", "r.txt", "-r", "./r.txt", "l.txt"}, "reference"},
        Misuse{{"-r", "./l.txt", "l.txt"}, "./l.txt"}, Misuse{{"-j", "0", "l.txt"}, "--threads"},
        Misuse{{"--lf", "--crlf", "l.txt"}, "--crlf"}, Misuse{{"--common", "l.txt"}, "common"},
        Misuse{{"--cascade", "-o", "o", "l.txt"}, "cascade"},
        Misuse{{"--only-unique", "--only-repeated", "l.txt"}, "exclude"},
        Misuse{{"-r", "", "l.txt"}, "empty"},
        Misuse{{"--thread", "2", "l.txt"}, "did you mean --threads?"}));

// A link given as the list is followed and stays; another hard link to the
// list keeps the old bytes; a name of the longest length still leaves room
// for the temporary name; mode and extended attributes come along.
TEST_F(CliTest, LinksStayLinksAndPermissionBitsStay) {
    if (OnWindows())
        GTEST_SKIP() << "Linux only: symbolic links, permission bits and extended attributes";
    fs::create_directory(m_dir / "data");
    Write("data/real.txt", "b\nb\na\n", 0640);
    fs::create_symlink("data/real.txt", m_dir / "link.txt");
    Write("shared.txt", "c\nc\n", 0666);
    fs::create_hard_link(m_dir / "shared.txt", m_dir / "hard.txt");
    const std::string longest(255, 'n');
    Write(longest, "d\n");
    const bool tagged = ::setxattr((m_dir / "shared.txt").c_str(), "user.o", "x", 1, 0) == 0;
    const RunResult r = Run({"link.txt", "shared.txt", longest});
    EXPECT_EQ(WithoutTime(r.out),
              "link.txt: 3 read, 2 kept, 1 removed (1 repeated), T s\nshared.txt: 2 read, 1 "
              "kept, 1 removed (1 repeated), T s\n" +
                  longest + ": 1 read, 1 kept, 0 removed, T s\n");
    EXPECT_EQ(fs::read_symlink(m_dir / "link.txt"), "data/real.txt");
    EXPECT_EQ(fs::status(m_dir / "data/real.txt").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(m_dir / "shared.txt").permissions(), fs::perms(0666));
    char value[4] = {};
    EXPECT_TRUE(!tagged || ::getxattr((m_dir / "shared.txt").c_str(), "user.o", value, 4) == 1);
    EXPECT_EQ(Contents(), (Files{{"data", "/"},
                                 {"data/real.txt", "b\na\n"},
                                 {"hard.txt", "c\nc\n"},
                                 {"link.txt", "b\na\n"},
                                 {longest, "d\n"},
                                 {"shared.txt", "c\n"}}));
}

// Stopped at the pause before its replacement, a list stays as it was: the
// new file has its name then, only kill -9 leaves it, and the next run on
// the list removes it, as it does older versions' leftovers. Appended to, or
// swapped for a link to a file its owner may not touch, after it was read,
// the list is not replaced, and what is there stays.
TEST_F(CliTest, AListStoppedOrChangedBeforeItsReplacementIsLeftAsItIsThen) {
    const fs::path secret = m_root / "secret";
    std::ofstream(secret) << "s\n";
    struct Change {
        int signal;  // sent at the pause; 0: `make` changes the files there
        std::function<void()> make = {};
        Names listing = {"l.txt"};
        std::string name = "l.txt";  // a file that must hold the list's bytes then
        std::string bytes = "b\nb\n";
    };
    const std::vector<Change> changes{
        {SIGINT},
        {SIGTERM},
        {SIGHUP},
        {SIGKILL},
        {0,
         [&] { std::ofstream(m_dir / "l.txt", std::ios::app) << "z\n"; },
         {"l.txt"},
         "l.txt",
         "b\nb\nz\n"},
        {0,
         [&] {
             fs::rename(m_dir / "l.txt", m_dir / "x.txt");
             fs::create_symlink(secret, m_dir / "l.txt");
         },
         {"l.txt", "x.txt"},
         "x.txt"},
    };
    for (const Change& change : changes) {
        if (OnWindows() && change.signal) continue;  // signals: Linux only
        SCOPED_TRACE(change.signal);
        Write("l.txt", "b\nb\n");
        const Started run = StartPaused({"l.txt"});
        if (change.signal) {
            EXPECT_EQ(Listing().size(), 2u);
            ::kill(run.pid, change.signal);
        } else {
            change.make();
            Release();
        }
        const RunResult r = Finish(run);
        Release();
        EXPECT_EQ(r.exit, change.signal ? 128 + change.signal : 1);
        EXPECT_EQ(r.err, change.signal == SIGKILL ? ""
                         : change.signal          ? "lintrim-cli: stopped: l.txt left as it was\n"
                                         : "l.txt: input list changed while it was cleaned\n");
        EXPECT_EQ(Read(change.name), change.bytes);
        if (change.signal == SIGKILL) {
            EXPECT_EQ(Listing().size(), 2u);
            Write(".l.txt.lintrim-4242-0", "b\n");
            EXPECT_EQ(Run({"l.txt"}).exit, 0);
            EXPECT_EQ(Read("l.txt"), "b\n");
        }
        EXPECT_EQ(Listing(), change.listing);
        EXPECT_EQ(ReadBytes(secret), "s\n");
        for (const std::string& name : change.listing) fs::remove(m_dir / name);
    }
}

// A file that a run holds (a list, an output) is refused to a second run at
// once, and the first run's named new file is never taken for a leftover.
TEST_F(CliTest, ASecondRunNeverTakesAFileAnotherRunHolds) {
    const std::string inUse = "l.txt: input list is in use by another run\n";
    const std::vector<std::pair<Names, Names>> runs{
        {{"l.txt"}, {"l.txt"}},
        {{"l.txt"}, {"-o", "l.txt", "o.txt"}},
        {{"-o", "n.txt", "l.txt"}, {"-o", "n.txt", "o.txt"}}};
    for (const auto& [first, second] : runs) {
        // Under Wine a second run writing the same new output as a paused
        // run once ended with exit 1 and said nothing (not seen again in
        // six runs): left to a run on Windows itself.
        if (OnWindows() && first.front() == "-o" && second.front() == "-o") continue;
        Write("l.txt", "b\nb\n");
        Write("o.txt", "o\n");
        const Started run = StartPaused(first);
        const RunResult other = Run(second);
        const bool refused = second.back() == "l.txt" || second[1] == "l.txt";
        EXPECT_EQ(other.exit, refused ? 1 : 0);
        EXPECT_EQ(other.err, refused ? inUse : "");
        Release();
        EXPECT_EQ(Finish(run).exit, 0);
        EXPECT_EQ(Read(first.size() == 1 ? "l.txt" : "n.txt"), "b\n");
        fs::remove(m_dir / "n.txt");
        EXPECT_EQ(Listing(), (Names{"l.txt", "o.txt"}));
    }
}

// Stopped just before the first list takes its result, a run has already
// put that list's removed lines on disk, and keeps them there even when the
// stop is one it handles; a list that is not replaced takes its lines back.
TEST_F(CliTest, RemovedLinesAreOnDiskBeforeTheirListIsReplaced) {
    // Wine may close the program's end of one pause after the test has
    // written the byte of the next to it, which then waits for good.
    if (OnWindows()) GTEST_SKIP() << "Linux only: two pauses in a row";
    for (const int signal : {SIGKILL, SIGTERM, 0}) {
        SCOPED_TRACE(signal);
        Write("l1", "a\na\n");
        Write("l2", "c\nc\n");
        fs::remove(m_dir / "gone");
        const Started run = StartPaused({"--lf", "--removed", "gone", "l1", "l2"});
        Release();  // the file of removed lines takes its place, then l1 waits
        while (!fs::exists(m_dir / "gone")) ::usleep(1000);
        WaitForPause(run);
        EXPECT_EQ(Read("gone"), "a\n");
        if (signal)
            ::kill(run.pid, signal);
        else
            std::ofstream(m_dir / "l1", std::ios::app) << "z\n";
        Release();
        EXPECT_EQ(Finish(run).exit, signal ? 128 + signal : 1);
        EXPECT_EQ(Read("gone"), signal ? "a\n" : "");
        EXPECT_EQ(Read("l1"), signal ? "a\na\n" : "a\na\nz\n");
    }
}

// Three lists, each of them random lines twice, and what a run removes from each.
struct TwiceOver {
    std::string lists[3];
    std::string removed[3];
};
TwiceOver MakeTwiceOver(int lines) {
    std::mt19937_64 random(7);
    TwiceOver made;
    for (int list = 0; list < 3; ++list) {
        for (int i = 0; i < lines; ++i) {
            char line[20];
            std::snprintf(line, sizeof line, "%016llx\n",
                          static_cast<unsigned long long>(random()));
            made.removed[list] += line;
        }
        made.lists[list] = made.removed[list] + made.removed[list];
    }
    return made;
}

// Stopped while the second list's removed lines are being appended (past
// the first block written, before the end of their stream): SIGINT, SIGTERM
// and SIGHUP (Ctrl-C on Windows, which Wine makes of SIGINT) cut them back,
// so the file holds the first list's lines whole and the format's own tool
// accepts it. kill -9 leaves part of a stream, which the tool reads up to the
// cut and rejects, every line of it still in the second list. Regression: a
// stop left the file cut, rejected by gzip -t.
TEST_F(CliTest, AStopLeavesTheRemovedLinesInWholeStreams) {
    // Enough lines that each stream outgrows the 256 KB blocks it is written in.
    const TwiceOver made = MakeTwiceOver(50000);
    const char* const kNames[] = {"l0", "l1", "l2"};
    struct Format {
        std::string file, test, read;  // the tools' commands, on the file
    };
    const std::vector<Format> formats{{"gone", "", "cat"},
                                      {"gone.gz", "gzip -t", "gzip -dc"},
                                      {"gone.xz", "xz -t", "xz -dc"},
                                      {"gone.zst", "zstd -qt", "zstd -qdc"},
                                      {"gone.bz2", "bzip2 -t", "bzip2 -dc"}};
    // Each stop signal the handler takes, in turn, and kill -9 for each
    // format; on Windows, whose build writes gzip only, Ctrl-C ends the
    // program with STATUS_CONTROL_C_EXIT, whose low byte is 58.
    const int caught[] = {SIGINT, SIGTERM, SIGHUP};
    const size_t count = OnWindows() ? 2 : formats.size();
    for (size_t f = 0; f < count; ++f)
        for (const int signal : {OnWindows() ? SIGINT : caught[f % 3], SIGKILL}) {
            const Format& format = formats[f];
            SCOPED_TRACE(format.file + " " + std::to_string(signal));
            for (int i = 0; i < 3; ++i) Write(kNames[i], made.lists[i]);
            const Started run =
                StartPaused({"--removed", format.file, "l0", "l1", "l2"}, "LINTRIM_APPEND_PAUSE");
            ::kill(run.pid, signal);
            EXPECT_EQ(Finish(run).exit, OnWindows() && signal == SIGINT ? 58 : 128 + signal);
            Release();
            EXPECT_EQ(Read("l0"), made.removed[0]);
            EXPECT_EQ(Read("l1"), made.lists[1]);
            EXPECT_EQ(Read("l2"), made.lists[2]);
            EXPECT_EQ(Listing(), (Names{format.file, "l0", "l1", "l2"}));
            // Whole lines of a cut stream are in l1 too; the last one may be cut.
            const bool whole = signal != SIGKILL;
            const std::string out = Run({"|", format.read + " " + format.file + " || :"}).out;
            const std::string& first = made.removed[0];
            EXPECT_EQ(out.compare(0, first.size(), first), 0);
            const std::string cut = out.substr(std::min(out.size(), first.size()));
            EXPECT_EQ(made.removed[1].compare(0, cut.size(), cut), 0);
            EXPECT_LT(cut.size(), made.removed[1].size());
            if (format.test.empty()) {
                EXPECT_EQ(cut.empty(), whole);
            } else {
                EXPECT_EQ(Run({"|", format.test + " " + format.file}).exit == 0, whole);
            }
            fs::remove(m_dir / format.file);
        }
}

// As root: a link that another user planted in a sticky shared folder is
// refused as the kernel refuses it to any program, and a file of another
// user's keeps its owner; replaced by that user, a file of root's loses its
// set-id bits.
TEST_F(CliTest, ARootRunIsNotTurnedAgainstTheSystem) {
    if (OnWindows()) GTEST_SKIP() << "Linux only: root, owners and symbolic links";
    const char* knob = "/proc/sys/fs/protected_symlinks";
    const std::string setting = ReadBytes(knob);
    if (::geteuid() != 0 || !(std::ofstream(knob) << "1")) GTEST_SKIP() << "needs root";
    fs::permissions(m_root, fs::perms(0711));
    fs::permissions(m_dir, fs::perms(01777));
    Write("secret", "s\n", 0600);
    Write("theirs", "x\n", 04755);
    Write("l.txt", "a\n");
    const RunResult r = Run(
        {"|",
         "as='setpriv --reuid=nobody --regid=nogroup --clear-groups'; cp $CLI ../cli; "
         "chown nobody:nogroup theirs; chmod 4755 theirs; $as ln -s secret evil; $CLI evil || :; "
         "$CLI -o evil l.txt || :; $CLI --removed evil l.txt || :; $CLI -o theirs l.txt "
         ">/dev/null; "
         "mkdir -m 777 open; cp l.txt open; cp theirs open/mine; chmod 6666 open/mine; "
         "chown root:root open/mine; $as ../cli -o open/mine open/l.txt >/dev/null; "
         "stat -c '%U %a' theirs open/mine; rm -r open evil"});
    std::ofstream(knob) << setting;
    EXPECT_EQ(r.out, "nobody 4755\nnobody 666\n");
    EXPECT_EQ(r.err,
              "evil: Invalid input file (open: Permission denied)\nevil: output list can't be "
              "opened (open: Permission denied)\nevil: output list can't be opened (open: "
              "Permission denied)\n");
    EXPECT_EQ(Contents(), (Files{{"l.txt", "a\n"}, {"secret", "s\n"}, {"theirs", "a\n"}}));
}

// --help shows every option with an example; neither it nor --version touches a list.
TEST_F(CliTest, HelpAndVersionTouchNothing) {
    Write("l.txt", "b\nb\n");
    const Names options{
        "-o, --output FILE", "-f, --by-frequency", "-a, --alphabetize", "-r, --ref FILE",
        "-d, --del-single TEXT", "--hex", "-i, --ignore-case", "--encode-hex", "--decode-hex",
        "--lf", "--crlf", "--json", "--stats", "--only-unique", "--only-repeated", "--common",
        "--cascade", "--min-length N", "--max-length N", "--removed FILE", "--memory SIZE",
        "-j, --threads N", "--temp-dir DIR", "-n, --dry-run", "-q, --quiet", "-s, --silent",
        "-h, --help", "--version",
        // Filtering without deduping, lengths, classes, lines in one list only.
        "--keep-repeats", "-l, --by-length", "--split-by-length DIR", "--chars", "--printable",
        "--lower", "--upper", "--require CLASSES", "--reject CLASSES", "--only-in-one",
        // Fields, counts, shares, trimming.
        "-t, --delimiter C", "-k, --key N|last", "--cut", "-c, --count", "--limit N", "--sample N",
        "--seed S", "--trim"};
    for (const char* flag : {"--help", "-h"}) {
        const RunResult r = Run({flag, "l.txt"});
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.err, "");
        for (const std::string& option : options)
            EXPECT_NE(r.out.find("  " + option + " "), std::string::npos) << option;
        size_t examples = 0;
        for (size_t at = 0; (at = r.out.find("e.g. lintrim-cli", at)) != std::string::npos; ++at)
            ++examples;
        EXPECT_EQ(examples, options.size());
    }
    const RunResult r = Run({"--version"});
    EXPECT_TRUE(std::regex_match(r.out, std::regex(R"(lintrim-cli \d+\.\d+[^\n]*\n)"))) << r.out;
    EXPECT_EQ(Contents(), (Files{{"l.txt", "b\nb\n"}}));
}
}  // namespace

namespace {
// Fields, counts, a share of the kept lines and trimming, each as the peers'
// one-liners give it (awk -F: '!seen[$NF]++', uniq -c, head -n).
const std::string kPot =
    "h1:pass\nh2:$HEX[70617373c3a9]\nh3:pass\nh4:other\nplain\nh5:$HEX[70617373c3a9]\n";
INSTANTIATE_TEST_SUITE_P(
    Shapes, CliRunTest,
    ::testing::Values(
        Case{{{"pot", kPot}},
             {"-t", ":", "-k", "last", "--cut", "--hex", "--decode-hex", "-o", "plains.txt", "pot"},
             "0|plains.txt: 6 read, 4 kept, 2 removed (2 repeated), T s\n|",
             {{"plains.txt", "pass\npass\xc3\xa9\nother\nplain\n"}}},
        // Field 2, a line without it whole, an empty first field.
        Case{{{"csv", "a,1\nb,2\nc,1\nd\n,2x\nd\n"}},
             {"-t", ",", "-k", "2", "csv"},
             "0|csv: 6 read, 4 kept, 2 removed (2 repeated), T s\n|",
             {{"csv", "a,1\nb,2\nd\n,2x\n"}}},
        // A field written encoded inside its line; a tab as the delimiter.
        Case{{{"t", "a\tp\xe9\nb\tp\xe9\nc\tq\n"}},
             {"-t", "\\t", "-k", "last", "--encode-hex", "t"},
             "0|t: 3 read, 2 kept, 1 removed (1 repeated), T s\n|",
             {{"t", "a\t$HEX[70e9]\nc\tq\n"}}},
        Case{{{"in", kIn}},
             {"-c", "-f", "in"},
             "0|in: 6 read, 4 kept, 2 removed (2 repeated), T s\n|",
             {{"in", "2\tx\n2\tw\n1\ty\n1\tz\n"}}},
        Case{{{"in", kIn}},
             {"-c", "-a", "--sample", "9", "in"},
             "0|in: 6 read, 4 kept, 2 removed (2 repeated), T s\n|",
             {{"in", "2\tw\n2\tx\n1\ty\n1\tz\n"}}},
        // Counts of a reference job are the list's own copies.
        Case{{{"l", "a\na\nb\nc\nb\n"}, {"r", "b\n"}},
             {"-c", "-r", "r", "-o", "-", "l"},
             "0|2\ta\n1\tc\n|-: 5 read, 2 kept, 3 removed (1 repeated, 2 in references), 1 "
             "reference line, T s\n"},
        Case{{{"in", kIn}},
             {"-f", "--limit", "3", "--crlf", "in"},
             "0|in: 6 read, 3 kept, 3 removed (2 repeated, 1 not selected), T s\n|",
             {{"in", "x\r\nw\r\ny\r\n"}}},
        // A byte-order mark, blanks at both ends, a line of blanks only.
        Case{{{"b", "\xef\xbb\xbfpass \n  pass\t\n \t \nx y\n"}},
             {"--trim", "b"},
             "0|b: 4 read, 2 kept, 2 removed (1 repeated, 1 by length), T s\n|",
             {{"b", "pass\nx y\n"}}},
        Case{{{"b", " p\np \n\tq\n"}},
             {"--trim", "-d", "q", "b"},
             "0|b: 3 read, 2 kept, 1 removed (1 the given line), T s\n|",
             {{"b", "p\np\n"}}}));

INSTANTIATE_TEST_SUITE_P(Shapes, CliUsageTest,
                         ::testing::Values(Misuse{{"--cut", "l.txt"}, "delimiter"},
                                           Misuse{{"-k", "2", "l.txt"}, "delimiter"},
                                           Misuse{{"-t", ":", "-k", "0", "l.txt"}, "'0'"},
                                           Misuse{{"-t", "ab", "l.txt"}, "'ab'"},
                                           Misuse{{"--limit", "1", "--sample", "1", "l.txt"},
                                                  "exclude"},
                                           Misuse{{"--seed", "1", "l.txt"}, "sample"},
                                           Misuse{{"--sample", "0", "l.txt"}, "--sample"},
                                           Misuse{{"-d", "b", "-c", "l.txt"}, "counts"}));

}  // namespace
