// The engine through its API, as a front end sees it: a plan in, events out,
// and the bytes on disk.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "TempDir.h"
#include "api/RunEvents.h"

namespace {
// Records the stage texts, and every outcome as "path: summary" or
// "path: failure (cause)".
class RecordingEvents : public RunEvents {
public:
    std::vector<std::string> stages;
    std::vector<std::string> outcomes;
    std::vector<ListCounts> counts;
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
        counts.push_back(o.counts);
    }
};
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
            plan.references = {dir.File("r", reference)};
            plan.singleLine = "bb";
            plan.alphabetize = way.alphabetize;
            plan.memoryBudget = budget;
            plan.lineEnd = "\n";
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
                const bool single = way.job == JobKind::kSingleLine && line == plan.singleLine;
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
            const ListCounts& c = events.counts.at(0);
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
        plan.lineEnd = "\n";
        for (size_t l = 0; l < lists.size(); ++l)
            plan.lists.push_back(dir.File(std::to_string(l), bytes[l]));
        plan.output = dir.File("out", "");
        for (const auto& [op, expected] : merged) {
            plan.setOperation = op;
            RecordingEvents events;
            ASSERT_EQ(RunLists(plan, events).status, RunStatus::kDone);
            EXPECT_EQ(ReadBytes(*plan.output), expected);
            EXPECT_EQ(events.counts.at(0).Kept(),
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
