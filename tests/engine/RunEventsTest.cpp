// The engine through its API, as a front end sees it: a plan in, events out,
// and the bytes on disk. Every way a run can fail is told as a user sees it:
// the status text, its cause with the call that failed, the file it names,
// the list on disk as it was (or whole, when the failure comes after its
// rename) and no file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "TempDir.h"
#include "lintrim/RunEvents.h"
#include "os/SystemCalls.h"
#include "partition/SpillFile.h"
#include "read/ListReader.h"
#include "write/ReplacementFile.h"

using namespace lintrim;

namespace {
// A front end that records what a run tells it.
class RecordingEvents : public RunEvents {
public:
    std::vector<Stage> stages;
    std::vector<StageProgress> progress;  // of the last list
    std::vector<ListOutcome> finished;
    int ordersChosen = 0;
    // Called as each list starts, as someone acting on the files meanwhile.
    std::function<void()> onListStarted;

    void StageBegun(Stage stage) override { stages.push_back(stage); }
    void Progress(const StageProgress& at) override { progress.push_back(at); }
    void OrderToBeChosen() override { ++ordersChosen; }
    void ListStarted(const std::vector<std::string>&) override {
        progress.clear();
        if (onListStarted) onListStarted();
    }
    void ListFinished(const ListOutcome& outcome) override { finished.push_back(outcome); }
};

// What a user is told of a list: "path: N read, D dupes" (every line
// removed as a copy or as the given line), or "path: failure (cause)"; a
// path in `folder` is given relative to it, the folder itself as ".".
std::string Said(const ListOutcome& outcome, const std::string& folder) {
    std::string path = outcome.paths.empty() ? "" : outcome.paths.front();
    if (path == folder) path = ".";
    if (path.rfind(folder, 0) == 0 && path.find_first_of("/\\", folder.size()) == folder.size())
        path.erase(0, folder.size() + 1);
    const ListCounts& c = outcome.counts;
    if (outcome.written)
        return path + ": " + std::to_string(c.read) + " read, " +
               std::to_string(c.repeats + c.referenceRepeats + c.setRepeats + c.singleHits) +
               " dupes";
    const std::string cause = outcome.cause.Text();
    return path + ": " + outcome.failure + (cause.empty() ? "" : " (" + cause + ")");
}

// One call that fails on cue. "write" lets `count` bytes through, "read"
// fails the read numbered `count` (of `file` alone, when it is named),
// "size" adds `count` to the size a stat reports, "buffer" makes the write
// buffer too large to be had, "no space" leaves `count` bytes free,
// "damaged" flips a bit and "short" ends the file in what is read back of
// a temporary file; any other call lets `count` calls through and fails
// from then on. The calls are the seam's, which every system makes.
struct Fault {
    std::string call;
    int error = EIO;
    int64_t count = 0;
    std::string file = {};
};

class FaultyCalls : public SystemCalls {
public:
    explicit FaultyCalls(std::vector<Fault> faults) : m_faults(std::move(faults)) {}

    ssize_t Write(int fd, const void* buffer, size_t size) override {
        const Fault* fault = Find("write");
        if (!fault) return SystemCalls::Write(fd, buffer, size);
        const std::lock_guard lock(m_mutex);  // temporary files are written on every thread
        if (m_written >= fault->count) return errno = fault->error, -1;
        const size_t allowed =
            std::min<size_t>(size, static_cast<size_t>(fault->count - m_written));
        m_written += static_cast<int64_t>(allowed);
        return SystemCalls::Write(fd, buffer, allowed);
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        const Fault* fault = Find("read");
        const std::lock_guard lock(m_mutex);
        if (fault && IsFile(fd, fault->file) && m_reads++ == fault->count)
            return errno = fault->error, -1;
        return SystemCalls::Read(fd, buffer, size);
    }
    int Stat(int fd, FileStatus* status) override {
        const int result = SystemCalls::Stat(fd, status);
        if (const Fault* fault = Find("size")) status->size += fault->count;
        return result;
    }
    int Fsync(int fd) override { return Fails("flush") ? -1 : SystemCalls::Fsync(fd); }
    int SyncRename(int folder, int file) override {
        return Fails("sync rename") ? -1 : SystemCalls::SyncRename(folder, file);
    }
    int MakeTemporary(int folder, const char* name, int access) override {
        return Fails("make temporary") ? -1 : SystemCalls::MakeTemporary(folder, name, access);
    }
    int MakeNamed(int folder, const char* name, int access) override {
        return Fails("make named") ? -1 : SystemCalls::MakeNamed(folder, name, access);
    }
    int StatAt(int folder, const char* name, FileStatus* status) override {
        return Fails("stat at") ? -1 : SystemCalls::StatAt(folder, name, status);
    }
    int SetAttributes(int to, unsigned mode, int from) override {
        return Fails("set attributes") ? -1 : SystemCalls::SetAttributes(to, mode, from);
    }
    int Fchown(int fd, uint32_t owner, uint32_t group) override {
        return Fails("chown") ? -1 : SystemCalls::Fchown(fd, owner, group);
    }
    int Lock(int fd) override { return Fails("lock") ? -1 : SystemCalls::Lock(fd); }
    int NameTemporary(int fd, int folder, const char* name) override {
        return Fails("name temporary") ? -1 : SystemCalls::NameTemporary(fd, folder, name);
    }
    int MoveOver(int fd, int folder, const char* name, const char* target) override {
        return Fails("move over") ? -1 : SystemCalls::MoveOver(fd, folder, name, target);
    }
    ssize_t Pread(int fd, void* to, size_t size, off_t at) override {
        if (Fails("pread")) return -1;
        const ssize_t got = SystemCalls::Pread(fd, to, size, at);
        if (got <= 0 || !IsTemporary(fd)) return got;
        if (Find("short")) return 0;
        if (Find("damaged")) static_cast<char*>(to)[got / 2] ^= 4;
        return got;
    }
    int FreeSpace(int fd, uint64_t* bytes) override {
        const int result = SystemCalls::FreeSpace(fd, bytes);
        if (const Fault* fault = Find("no space")) *bytes = static_cast<uint64_t>(fault->count);
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
        const std::lock_guard lock(m_mutex);
        if (!fault || m_passed[call]++ < fault->count) return false;
        errno = fault->error;
        return true;
    }
    static std::string NameOf(int fd) {
        std::string folder, name;
        return SystemCalls().PathOf(fd, &folder, &name) == 0 ? name : "";
    }
    // Whether `fd` is open on a file of that name; any file when it is empty.
    static bool IsFile(int fd, const std::string& name) {
        return name.empty() || NameOf(fd) == name;
    }
    // A file of the engine's own: unnamed (Linux), or named as it names them.
    static bool IsTemporary(int fd) {
        const std::string name = NameOf(fd);
        return name.ends_with(" (deleted)") || name.starts_with(".lintrim-");
    }

    std::vector<Fault> m_faults;
    std::map<std::string, int64_t> m_passed;
    std::mutex m_mutex;  // for the counts below
    int64_t m_written = 0;
    int m_reads = 0;
};

const std::string kList = "one\ntwo\none\nthree\n";
const std::string kCleaned = "one\ntwo\nthree\n";
const std::string kRef = "two\n";

using Files = std::map<std::string, std::string>;

void RunFaulty(const RunPlan& plan, RunEvents& events, const std::vector<Fault>& faults) {
    FaultyCalls calls(faults);
    ScopedSystemCalls seam(calls);
    RunLists(plan, events);
}

// Runs `plan` on a fresh folder holding list.txt (the list when the plan
// names none) and ref.txt, its names relative to that folder, with calls
// failing as `faults` say; `change` acts on the folder as each list starts.
// Returns what the last list was said to be, and every file afterwards.
std::pair<std::string, Files> RunWith(RunPlan plan, const std::vector<Fault>& faults,
                                      const std::function<void(const TempDir&)>& change = {}) {
    TempDir dir;
    dir.File("list.txt", kList);
    dir.File("ref.txt", kRef);
    const auto place = [&](std::string& name) { name = dir.At(name); };
    if (plan.lists.empty()) plan.lists = {"list.txt"};
    for (std::string& name : plan.lists) place(name);
    for (std::string& name : plan.references) place(name);
    if (plan.output) place(*plan.output);
    if (plan.removed) place(*plan.removed);
    if (!plan.tempDir.empty()) place(plan.tempDir);
    plan.threads = 1;
    // Small blocks and a small buffer make reads and writes happen in pieces.
    ListReader::SetBlockSizeForTesting(4);
    const bool noBuffer = !faults.empty() && faults[0].call == "buffer";
    ReplacementFile::SetBufferSizeForTesting(noBuffer ? size_t{1} << 62 : 8);
    RecordingEvents events;
    if (change) events.onListStarted = [&] { change(dir); };
    RunFaulty(plan, events, faults);
    ListReader::SetBlockSizeForTesting(0);
    ReplacementFile::SetBufferSizeForTesting(0);
    Files files;
    for (const std::string& name : dir.Names()) files[name] = ReadBytes(dir.At(name));
    return {Said(events.finished.back(), dir.Path().string()), files};
}

struct FaultCase {
    std::vector<Fault> faults;
    std::string said;
    RunPlan plan = {};
    std::string list = kList;
    const char* linuxOnly = nullptr;  // why the case does not apply to Windows
    Files more = {};                  // the other files the run leaves
};

// The calls a failure names, as each system calls them.
struct CallNames {
    const char* write;
    const char* flush;
    const char* setAttributes;
    const char* nameTemporary;
    const char* makeTemporary;
    const char* syncRename;
};
#ifdef _WIN32
constexpr bool kWindows = true;
constexpr CallNames kCalls{"WriteFile:",
                           "FlushFileBuffers:",
                           "SetFileInformationByHandle:",
                           "SetFileInformationByHandle:",
                           "CreateFile:",
                           "FlushFileBuffers:"};
#else
constexpr bool kWindows = false;
constexpr CallNames kCalls{"write:", "fsync:", "fchmod:", "link:", "open:", "sync folder:"};
#endif

using Lines = std::vector<std::string>;

// The model of a key: a well-formed `$HEX[..]` line as its bytes, ASCII
// letters lowercase.
std::string Key(const std::string& line, const RunPlan& plan) {
    static const std::regex kForm(R"(\$HEX\[([0-9a-fA-F]{2})*\])");
    const bool hex = plan.hexKey && std::regex_match(line, kForm);
    std::string key;
    for (size_t i = hex ? 5 : 0; i + hex < line.size(); i += 1 + hex) {
        const char c = hex ? static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)) : line[i];
        key += plan.ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return key;
}

// Letters whose hex codes hold digits of both cases (a run of them makes
// lines longer than two words), and forms gone wrong: an odd digit, a
// non-digit, no closing bracket.
std::string RandomLine(std::mt19937& random) {
    static const char* const kBits[] = {
        "a", "A", "j", "J", "jjjjAjjjjAjjjjAjjjj", "61", "41", "6a", "6A", "4a", "4A", "6]", "g]",
        "",  "]", "]", "]"};
    const bool hex = random() % 2;
    std::string line = hex ? "$HEX[" : "";
    for (auto n = random() % 3 + !hex; n > 0; --n)
        line += kBits[hex ? 5 + random() % 6 : random() % 5];
    return hex ? line + kBits[11 + random() % 6] : line;
}

// Lines with the key of a reference line or of a single line go; copies
// are lines of one key (for the single-line job, none: every line stays),
// each written at its first; a stable sort orders them, so that lines of
// equal keys stay in file order.
std::string Expected(const Lines& lines, const Lines& refs, const RunPlan& plan) {
    const bool single = plan.job == JobKind::kSingleLine;
    std::set<std::string> gone;
    for (const std::string& line : refs) gone.insert(Key(line, plan));
    if (single)
        for (const std::string& line : plan.singleLines) gone.insert(Key(line, plan));
    std::map<std::string, int> copies;
    Lines firsts;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string key = Key(lines[i], plan);
        const std::string id = single ? std::to_string(i) : key;
        if (gone.count(key) == 0 && copies[id]++ == 0) firsts.push_back(lines[i]);
    }
    std::stable_sort(firsts.begin(), firsts.end(), [&](const std::string& a, const std::string& b) {
        if (plan.alphabetize) return Key(a, plan) < Key(b, plan);
        return plan.byFrequency && copies[Key(a, plan)] > copies[Key(b, plan)];
    });
    std::string out;
    for (const std::string& line : firsts) out += line + "\n";
    return out;
}
}  // namespace

// Each stage begins once, in order, and its progress never goes back nor
// past its total; a control's order, set when the order is to be chosen,
// wins over the plan's, and its stop ends the run with the list as it was.
TEST(RunEvents, StagesInOrderProgressNeverBackwardsAndTheControlDecides) {
    TempDir dir;
    std::string list;
    for (int i = 0; i < 30000; ++i) list += std::to_string(i % 20000 * 7) + "\n";
    RunPlan plan{.lists = {dir.File("l.txt", list)}, .memoryBudget = 64 << 10};
    RecordingEvents events;
    RunControl control;
    control.SetAlphabetize(true);
    EXPECT_EQ(RunLists(plan, events, &control).status, RunStatus::kDone);
    EXPECT_EQ(events.stages, (std::vector<Stage>{Stage::kLoading, Stage::kGrouping,
                                                 Stage::kOrdering, Stage::kWriting}));
    EXPECT_EQ(events.ordersChosen, 1);
    for (size_t i = 0; i < events.progress.size(); ++i) {
        const StageProgress& at = events.progress[i];
        EXPECT_LE(at.done, at.total);
        EXPECT_EQ(at.bytes, at.stage == Stage::kLoading);
        if (i > 0 && events.progress[i - 1].stage == at.stage) {
            EXPECT_GE(at.done, events.progress[i - 1].done);
        }
    }
    std::istringstream written(ReadBytes(plan.lists[0]));
    std::vector<std::string> lines;
    for (std::string line; std::getline(written, line);) lines.push_back(line);
    EXPECT_EQ(lines.size(), 20000u);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));

    dir.File("l.txt", list);
    events.onListStarted = [&] { control.Stop(); };
    EXPECT_EQ(RunLists(plan, events, &control).status, RunStatus::kCancelled);
    EXPECT_EQ(ReadBytes(plan.lists[0]), list);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"l.txt"});
}

// Lengths are in bytes without the line break, a CR before the LF being part
// of it: a line at a bound stays and one a byte beyond it goes, in every job.
// Empty lines go whatever the bounds, and are not counted as filtered.
TEST(RunEvents, TheLengthFilterKeepsLinesAtItsBounds) {
    constexpr uint64_t kMost = UINT64_MAX;
    struct Case {
        std::optional<uint64_t> min, max;
        std::string kept;
        int64_t filtered;
    };
    const std::vector<Case> cases{
        {2, 4, "bb\nccc\ndddd\n", 2},
        {2, 2, "bb\n", 4},
        {4, 4, "dddd\n", 4},
        {5, 5, "eeeee\n", 4},  // the last line, which has no break
        {3, {}, "ccc\ndddd\neeeee\n", 2},
        {{}, 1, "a\n", 4},
        {0, kMost, "a\nbb\nccc\ndddd\neeeee\n", 0},
        {0, 0, "", 5},
        {kMost, kMost, "", 5},
    };
    for (const Case& c : cases)
        for (const JobKind job : {JobKind::kDedupe, JobKind::kReferences, JobKind::kSingleLine}) {
            SCOPED_TRACE(testing::Message()
                         << "case " << &c - cases.data() << ", job " << static_cast<int>(job));
            TempDir dir;
            RunPlan plan{.job = job,
                         .lists = {dir.File("l.txt", "a\nbb\r\nccc\n\ndddd\r\neeeee")},
                         .minLength = c.min,
                         .maxLength = c.max};
            if (job == JobKind::kReferences) plan.references = {dir.File("r.txt", "zz\n")};
            if (job == JobKind::kSingleLine) plan.singleLines = {"zz"};
            RecordingEvents events;
            ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
            EXPECT_EQ(ReadBytes(plan.lists[0]), c.kept);
            EXPECT_EQ(events.finished.back().counts.filtered, c.filtered);
        }
}

// Whatever fails, the folder holds what it held afterwards, and the list is
// replaced by the whole result or not at all.
TEST(Failures, EveryFailingCallIsNamedAndLeavesTheFilesAsTheyWere) {
    const std::string cantWrite = "list.txt: output list can't be written (";
    const std::string cantOpen = "list.txt: output list can't be opened (";
    const std::string cantRead = "list.txt: input list can't be read (";
    const std::string temporary = ".: temporary files can't be ";
    const std::string written = "list.txt: 4 read, 1 dupes";
    const std::string flushFailed =
        ": output list can't be written (" + std::string(kCalls.flush) + " Input/output error)";
    const RunPlan spilled{.memoryBudget = 64};  // spills the list at its first line
    const RunPlan output{.output = "out.txt"};
    const RunPlan removed{.removed = "rm.txt"};
    const RunPlan reference{.job = JobKind::kReferences, .references = {"ref.txt"}};
    const std::vector<FaultCase> cases{
        // A short write, then the disk is full.
        {{{"write", ENOSPC, 5}}, cantWrite + kCalls.write + " No space left on device)"},
        {{{"flush"}}, "list.txt" + flushFailed},
        {{{"set attributes", EPERM}},
         cantWrite + kCalls.setAttributes + " Operation not permitted)"},
        {{{"name temporary", EPERM}},
         cantWrite + kCalls.nameTemporary + " Operation not permitted)"},
        {{{"move over", EXDEV}}, cantWrite + "rename: Invalid cross-device link)"},
        {{{"make temporary", EOPNOTSUPP}, {"move over", EXDEV}},
         cantWrite + "rename: Invalid cross-device link)"},
        {{{"make temporary", EISDIR}, {"make named", EACCES}},
         cantOpen + kCalls.makeTemporary + " Permission denied)"},
        {{{"make temporary", EACCES}}, cantOpen + kCalls.makeTemporary + " Permission denied)"},
        // The check before the rename: every list was opened and checked before.
        {{{"stat at", ENOENT, 2}}, "list.txt: input list changed while it was cleaned"},
        {{{"lock", EWOULDBLOCK}}, "list.txt: input list is in use by another run"},
        {{{"read", EIO, 2}}, cantRead + "read: Input/output error)"},
        {{{"size", 0, -3}}, cantRead + "the file grew while it was read)"},
        {{{"size", 0, int64_t{1} << 62}}, cantRead + "the file shrank while it was read)"},
        {{{"buffer"}}, "list.txt: not enough memory"},
        // Failures that do not stop the run, and the folder sync, which comes
        // after the rename.
        {{{"make temporary", EOPNOTSUPP}}, written, {}, kCleaned},
        {{{"chown", EPERM}}, written, {}, kCleaned},
        // The list holds its result, and its removed lines stay in their
        // file, so no line is lost.
        {{{"sync rename", EIO, 1}},
         cantWrite + kCalls.syncRename + " Input/output error)",
         removed,
         kCleaned,
         nullptr,
         {{"rm.txt", "one\n"}}},
        // The other files a run writes or reads, each named.
        {{{"flush"}}, "out.txt" + flushFailed, output},
        {{{"flush"}}, "rm.txt" + flushFailed, removed},
        {{{"read", EIO, 0, "ref.txt"}},
         "ref.txt: Invalid ref file (read: Input/output error)",
         reference},
        {{},
         "gone.txt: Invalid ref file (No such file or directory)",
         {.job = JobKind::kReferences, .references = {"gone.txt"}}},
        {{},
         "no/o.txt: output list can't be opened (No such file or directory)",
         {.output = "no/o.txt"}},
        {{}, "no: temporary file can't be made (No such file or directory)", {.tempDir = "no"}},
        // A list that cannot be opened stops the run before any list is
        // replaced, the lists before it too.
        {{},
         "gone.txt: Invalid input file (No such file or directory)",
         {.lists = {"list.txt", "gone.txt", "ref.txt"}}},
        {{}, ".: Invalid input file (not a regular file)", {.lists = {"."}}},
        // Temporary files of a list larger than its memory budget, in its folder.
        {{{"write", EIO, 0}}, temporary + "written (write: Input/output error)", spilled},
        {{{"pread", EIO}}, temporary + "read (read: Input/output error)", spilled},
        {{{"damaged"}}, temporary + "read (a temporary file was damaged)", spilled},
        {{{"short"}}, temporary + "read (a temporary file was cut short)", spilled},
        {{{"make temporary", EACCES, 1}},
         ".: temporary file can't be made (open: Permission denied)",
         spilled,
         kList,
         "Windows makes its scratch files apart (FILE_FLAG_DELETE_ON_CLOSE)"},
        {{}, written, spilled, kCleaned},
        {{{"make temporary", EOPNOTSUPP}}, written, spilled, kCleaned},  // named, unlinked at once
    };
    for (const FaultCase& c : cases) {
        if (kWindows && c.linuxOnly) continue;
        Files files{{"list.txt", c.list}, {"ref.txt", kRef}};
        files.insert(c.more.begin(), c.more.end());
        EXPECT_EQ(RunWith(c.plan, c.faults), std::pair(c.said, files));
    }
}

// A reference list is opened to be checked, then again to be read: appended
// to, replaced or removed in between, it stops the run naming it.
TEST(Failures, AListReadAgainMustBeTheFileThatWasChecked) {
    const std::vector<std::function<void(const TempDir&)>> changes{
        [](const TempDir& dir) { std::ofstream(dir.At("ref.txt"), std::ios::app) << "x\n"; },
        [](const TempDir& dir) {
            std::filesystem::rename(dir.File("new.txt", kRef), dir.At("ref.txt"));
        },
        [](const TempDir& dir) { std::filesystem::remove(dir.At("ref.txt")); }};
    for (const auto& change : changes) {
        const auto [said, files] =
            RunWith({.job = JobKind::kReferences, .references = {"ref.txt"}}, {}, change);
        EXPECT_EQ(said, "ref.txt: input list changed while it was cleaned");
        EXPECT_EQ(files.at("list.txt"), kList);
    }
}

// Each removed line has one reason, against a model over random lists: a
// reference hit (every copy), the single line (every copy), its length, or
// a repeat of a line kept; the kept lines are what is written. In memory
// and spilled under a tiny budget.
TEST(RunEvents, CountsSayWhyEachLineWent) {
    std::mt19937 random(5);
    const auto words = [&](int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += std::string(1 + random() % 4, 'a' + random() % 3) + "\n";
        return text;
    };
    const std::string list = words(20000) + "\n\n", reference = words(30);
    struct Way {
        JobKind job;
        bool lengths, alphabetize;
    };
    for (const Way way :
         {Way{JobKind::kDedupe, false, false}, Way{JobKind::kDedupe, true, true},
          Way{JobKind::kReferences, true, false}, Way{JobKind::kSingleLine, true, false},
          Way{JobKind::kSingleLine, false, true}})
        for (const uint64_t budget : {uint64_t{0}, uint64_t{64} << 10}) {
            TempDir dir;
            RunPlan plan;
            plan.job = way.job;
            plan.lists = {dir.File("l", list)};
            if (way.job == JobKind::kReferences) plan.references = {dir.File("r", reference)};
            if (way.job == JobKind::kSingleLine) plan.singleLines = {"bb"};
            plan.alphabetize = way.alphabetize;
            plan.memoryBudget = budget;
            if (way.lengths) plan.minLength = 2, plan.maxLength = 3;
            std::set<std::string> refs, seen;
            std::istringstream refLines(reference), lines(list);
            ListCounts model;
            for (std::string line; std::getline(refLines, line); ++model.referenceRead)
                refs.insert(line);
            if (way.job != JobKind::kReferences) model.referenceRead = 0, refs.clear();
            int64_t kept = 0;
            for (std::string line; std::getline(lines, line);) {
                if (line.empty()) continue;
                const bool single = way.job == JobKind::kSingleLine && line == plan.singleLines[0];
                const bool length = way.lengths && (line.size() < 2 || line.size() > 3);
                model.referenceHits += refs.count(line) && !length;
                model.singleHits += single;
                model.filtered += length && !single;
                if (refs.count(line) || single || length) continue;
                const bool fresh = seen.insert(line).second || way.job == JobKind::kSingleLine;
                model.repeats += !fresh;
                kept += fresh;
            }
            RecordingEvents events;
            ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
            const ListCounts& c = events.finished.at(0).counts;
            SCOPED_TRACE(static_cast<int>(way.job) * 10 + way.lengths + budget);
            EXPECT_EQ(c.referenceRead, model.referenceRead);
            EXPECT_EQ(c.repeats, model.repeats);
            EXPECT_EQ(c.referenceHits, model.referenceHits);
            EXPECT_EQ(c.singleHits, model.singleHits);
            EXPECT_EQ(c.filtered, model.filtered);
            EXPECT_EQ(c.Kept(), kept);
            const std::string out = ReadBytes(plan.lists[0]);
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), kept);
        }
}

// The set operations and the cascade against a model over random lists, in
// memory and spilled under a tiny budget.
TEST(RunEvents, SetOperationsMatchTheModel) {
    std::mt19937 random(9);
    std::vector<std::vector<std::string>> lists(3);
    std::string bytes[3];
    for (size_t l = 0; l < lists.size(); ++l)
        for (int i = 0; i < 4000 + 1000 * static_cast<int>(l); ++i) {
            lists[l].push_back(std::to_string(random() % (700 + 300 * l)));
            bytes[l] += lists[l].back() + "\n";
        }
    std::map<std::string, int> copies, holders;
    for (const auto& list : lists) {
        for (const std::string& line : list) ++copies[line];
        for (const std::string& line : std::set<std::string>(list.begin(), list.end()))
            ++holders[line];
    }
    // Each line once, at its first place, where `keep` holds.
    const auto firsts = [](const std::vector<std::vector<std::string>>& from, auto keep) {
        std::set<std::string> seen;
        std::string out;
        for (const auto& list : from)
            for (const std::string& line : list)
                if (keep(line) && seen.insert(line).second) out += line + "\n";
        return out;
    };
    const std::vector<std::pair<SetOperation, std::string>> merged{
        {SetOperation::kOnlyUnique, firsts(lists, [&](auto& s) { return copies[s] == 1; })},
        {SetOperation::kOnlyRepeated, firsts(lists, [&](auto& s) { return copies[s] > 1; })},
        {SetOperation::kCommon, firsts(lists, [&](auto& s) { return holders[s] == 3; })}};
    for (const uint64_t budget : {uint64_t{0}, uint64_t{64} << 10}) {
        SCOPED_TRACE(budget);
        TempDir dir;
        RunPlan plan;
        plan.memoryBudget = budget;
        for (size_t l = 0; l < lists.size(); ++l)
            plan.lists.push_back(dir.File(std::to_string(l), bytes[l]));
        plan.output = dir.File("out", "");
        for (const auto& [op, expected] : merged) {
            plan.setOperation = op;
            RecordingEvents events;
            ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
            EXPECT_EQ(ReadBytes(*plan.output), expected);
            EXPECT_EQ(events.finished.at(0).counts.Kept(),
                      std::count(expected.begin(), expected.end(), '\n'));
        }
        plan.output.reset();
        plan.setOperation = SetOperation::kCascade;
        RecordingEvents events;
        ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
        std::set<std::string> before;
        for (size_t l = 0; l < lists.size(); ++l) {
            EXPECT_EQ(ReadBytes(plan.lists[l]),
                      firsts({lists[l]}, [&](auto& s) { return !before.count(s); }));
            before.insert(lists[l].begin(), lists[l].end());
        }
    }
}

// Random lists of short lines over a few letters in both cases and
// `$HEX[..]` forms, well formed and not, through every key, job and order,
// in memory and spilled, against the model.
TEST(RunEvents, LineKeysMatchTheModelInEveryJobAndOrder) {
    TempDir dir;
    std::mt19937 random(5);
    Lines lines(3000), refs(20);
    std::string list, reference;
    for (std::string& line : lines) list += (line = RandomLine(random)) + "\n";
    for (std::string& line : refs) reference += (line = RandomLine(random)) + "\r\n";
    RunPlan plan;
    plan.lists = {dir.File("l.txt", list)};
    const std::string referenceFile = dir.File("r.txt", reference);
    plan.output = (dir.Path() / "o.txt").string();
    for (int way = 0; way < 72; ++way) {  // key, job, order, budget
        plan.hexKey = way & 1;
        plan.ignoreCase = way & 2;
        plan.job = static_cast<JobKind>(way / 4 % 3);  // dedupe, references, single line
        const bool withRefs = plan.job == JobKind::kReferences;
        plan.references = withRefs ? Lines{referenceFile} : Lines();
        const Lines singles{RandomLine(random), RandomLine(random)};
        plan.singleLines = plan.job == JobKind::kSingleLine ? singles : Lines();
        plan.byFrequency = way / 12 % 3 == 1 && plan.job != JobKind::kSingleLine;
        plan.alphabetize = way / 12 % 3 == 2;
        // In memory; spilled, partitions split again (with either case);
        // spilled, the trail followed in stretches, which small blocks make
        // worth it.
        const bool stretches = way >= 36 && !plan.ignoreCase;
        plan.memoryBudget = way < 36 ? 0 : stretches ? 64 << 10 : 2048;
        // Blocks shorter than a record's head, of a few records, the usual.
        const size_t blocks[] = {5, 100, 0};
        SpillFile::SetBlockSizeForTesting(stretches ? 100 : blocks[random() % 3]);
        RunEvents events;
        ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone) << way;
        SpillFile::SetBlockSizeForTesting(0);
        EXPECT_EQ(ReadBytes(*plan.output), Expected(lines, withRefs ? refs : Lines(), plan)) << way;
    }
}

// A spill of lines that pack well: the disk it needs is foreseen packed,
// and a disk that fills or a block that comes back wrong while packed
// blocks are written and read stops the run with the list as it was.
TEST(Failures, PackedSpillsNeedTheirPackedSizeAndAreChecked) {
    std::string list, kept;
    for (int i = 0; i < 40000; ++i) list += "password" + std::to_string(i % 500) + "\n";
    for (int i = 0; i < 500; ++i) kept += "password" + std::to_string(i) + "\n";
    const bool packs = SpillFile::DiskSizeOf(list.data(), list.size()) < list.size() / 2;
    const std::string noSpace = ".: not enough disk space for temporary files";
    const std::string cantRead = ".: temporary files can't be read (a temporary file was ";
    const std::vector<std::pair<Fault, std::string>> cases{
        // The records would need about 1.2 MB as they are, and take a tenth of it packed.
        {{"no space", 0, 600000}, packs ? "l: 40000 read, 39500 dupes" : noSpace},
        {{"no space", 0, 40000}, noSpace},
        {{"write", ENOSPC, 30000}, noSpace + " (write: No space left on device)"},
        {{"damaged"}, cantRead + "damaged)"},
        {{"short"}, cantRead + "cut short)"},
    };
    for (const auto& [fault, said] : cases) {
        TempDir dir;
        RunPlan plan{.lists = {dir.File("l", list)}, .memoryBudget = 64 << 10};
        RecordingEvents events;
        RunFaulty(plan, events, {fault});
        EXPECT_EQ(Said(events.finished.back(), dir.Path().string()), said) << fault.call;
        EXPECT_EQ(ReadBytes(plan.lists[0]), said == cases[0].second && packs ? kept : list);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"l"});
    }
}

// The single line streamed out against a model: lines ended by LF, by
// CR LF, by several CRs and an LF or by nothing, lone CRs, empty lines, an
// end-of-file mark, the line at the edges of blocks of every size; written
// with either line end. Every CR at a line's end belongs to its break.
TEST(RunEvents, TheStreamedSingleLineJobMatchesTheModel) {
    const std::string lists[] = {
        "a\nbb\ncc\nbb\n",       "bb\r\na\r\n\r\nbb", "a\rb\nbb\n\n\nc\r\x1a",   "bb",
        "\n\nbb\nx\r\r\nbb\r\n", "x\ny\nz\n",         "a\rb\r\r\nbb\r\r\ntail\r"};
    for (const std::string& list : lists) {
        std::string text = list.back() == '\x1a' ? list.substr(0, list.size() - 1) : list;
        for (const std::string end : {"\n", "\r\n"}) {
            std::string model;
            for (size_t at = 0; at <= text.size();) {
                const size_t feed = std::min(text.find('\n', at), text.size());
                std::string line = text.substr(at, feed - at);
                while (!line.empty() && line.back() == '\r') line.pop_back();
                if (!line.empty() && line != "bb") model += line + end;
                at = feed + 1;
            }
            for (const uint64_t block : {1, 2, 3, 5, 0}) {
                TempDir dir;
                ListReader::SetBlockSizeForTesting(block);
                RunPlan plan{.job = JobKind::kSingleLine, .lists = {dir.File("l", list)}};
                plan.singleLines = {"bb"};
                plan.lineEnd = end == "\n" ? LineEnd::kLf : LineEnd::kCrLf;
                RunEvents events;
                EXPECT_EQ(RunLists(plan, events).status, RunStatus::kDone);
                ListReader::SetBlockSizeForTesting(0);
                EXPECT_EQ(ReadBytes(dir.At("l")), model) << list.size() << " " << block;
            }
        }
    }
}

// Line ends as read follow the majority of each list's lines (LF on a tie),
// and a result beside its list leaves the list as it was, in its format.
TEST(RunEvents, LineEndsAsReadAndResultsBesideTheList) {
    TempDir dir;
    const std::string mostly = "a\r\nb\r\na\nc\r\n", even = "x\r\ny\n", lone = "q\rr\n";
    RunPlan plan{.lists = {dir.File("m.txt", mostly), dir.File("e", even), dir.File("l", lone)},
                 .besideSuffix = "-clean",
                 .lineEnd = LineEnd::kAsRead};
    RunEvents events;
    ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
    EXPECT_EQ(ReadBytes(dir.At("m-clean.txt")), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(ReadBytes(dir.At("e-clean")), "x\ny\n");
    EXPECT_EQ(ReadBytes(dir.At("l-clean")), "q\rr\n");
    EXPECT_EQ(ReadBytes(dir.At("m.txt")), mostly);
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"e", "e-clean", "l", "l-clean", "m-clean.txt", "m.txt"}));
}
