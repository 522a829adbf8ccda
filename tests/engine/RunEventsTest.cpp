// The engine through its API, as a front end sees it: a plan in, events out,
// and the bytes on disk.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <random>
#include <regex>
#include <set>

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

// Lines with the key of a reference line or of the single line go; copies
// are lines of one key (for the single-line job, of the same bytes, or none
// in file order), each written at its first; a stable sort orders them.
std::string Expected(const Lines& lines, const Lines& refs, const RunPlan& plan) {
    const bool single = plan.job == JobKind::kSingleLine, together = single && plan.alphabetize;
    std::set<std::string> gone;
    for (const std::string& line : refs) gone.insert(Key(line, plan));
    if (single) gone.insert(Key(plan.singleLine, plan));
    std::map<std::string, int> copies;
    Lines firsts;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string key = Key(lines[i], plan);
        const std::string id = together ? lines[i] : single ? std::to_string(i) : key;
        if (gone.count(key) == 0 && copies[id]++ == 0) firsts.push_back(lines[i]);
    }
    std::stable_sort(firsts.begin(), firsts.end(), [&](const std::string& a, const std::string& b) {
        if (plan.alphabetize) return Key(a, plan) < Key(b, plan);
        return plan.byFrequency && copies[Key(a, plan)] > copies[Key(b, plan)];
    });
    std::string out;
    for (const std::string& line : firsts)
        for (int copy = 0; copy < (together ? copies[line] : 1); ++copy) out += line + "\n";
    return out;
}
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
    plan.references = {dir.File("r.txt", reference)};  // read by the reference job only
    plan.output = (dir.Path() / "o.txt").string();
    plan.lineEnd = "\n";
    for (int way = 0; way < 72; ++way) {  // key, job, order, budget
        plan.hexKey = way & 1;
        plan.ignoreCase = way & 2;
        plan.job = static_cast<JobKind>(way / 4 % 3);  // dedupe, references, single line
        plan.singleLine = RandomLine(random);
        plan.byFrequency = way / 12 % 3 == 1 && plan.job != JobKind::kSingleLine;
        plan.alphabetize = way / 12 % 3 == 2;
        plan.memoryBudget = way < 36 ? 0 : 2048;  // spilled, partitions split again
        const bool withRefs = plan.job == JobKind::kReferences;
        RunEvents events;
        ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone) << way;
        EXPECT_EQ(ReadBytes(*plan.output), Expected(lines, withRefs ? refs : Lines(), plan)) << way;
    }
}
