// A larger list against a plain model of each ordering, large enough for the
// sorts to split over threads: in memory and spilled under tiny budgets, on
// one thread and on several, with runs merged in stretches and partitions
// split again a few levels deep: the same bytes every way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "ModelRun.h"
#include "TempDir.h"
#include "lintrim/RunEvents.h"
#include "partition/SpillFile.h"

using namespace lintrim;

namespace {
using Lines = std::vector<std::string>;
using Lists = std::vector<Lines>;

// The first `count` lines of the list.
Lines ListLines(size_t count) {
    std::mt19937 random(7);
    Lines lines;
    for (size_t i = 0; i < count; ++i)
        lines.push_back("w" + std::to_string(static_cast<int>(random() % 16000) * 7919 % 100003));
    return lines;
}

std::string Joined(const Lines& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// Every line of every list, in order.
Lines AllLines(const Lists& lists) {
    Lines all;
    for (const Lines& list : lists) all.insert(all.end(), list.begin(), list.end());
    return all;
}

// The first copy of each line, in file order.
Lines Firsts(const Lists& lists) {
    std::set<std::string> seen;
    Lines firsts = AllLines(lists);
    std::erase_if(firsts, [&](const std::string& line) { return !seen.insert(line).second; });
    return firsts;
}

std::string Expected(const Lines& lines, bool byFrequency, bool alphabetize) {
    std::map<std::string, int> copies;
    for (const std::string& line : lines) ++copies[line];
    Lines firsts = Firsts({lines});
    if (alphabetize) std::sort(firsts.begin(), firsts.end());
    if (byFrequency)
        std::stable_sort(firsts.begin(), firsts.end(),
                         [&](const auto& a, const auto& b) { return copies[a] > copies[b]; });
    return Joined(firsts);
}

}  // namespace

// A budget of a few hundred bytes splits every partition again and again,
// each piece a file: a shorter list does that. Under 64 KiB the runs are
// merged into fewer before they are written; under 2 MiB they are few
// enough to be merged a stretch at a time on every thread, and with small
// blocks on disk a run in file order is cut into stretches too.
TEST(DedupeModel, EveryOrderingMatchesTheModelInMemoryAndSpilled) {
    struct Way {
        uint64_t budget;
        unsigned threads;
        size_t lines;
        size_t spillBlock = 0;  // the usual block size
    };
    for (const Way way : {Way{0, 0, 60000}, Way{64 << 10, 1, 30000}, Way{64 << 10, 3, 30000},
                          Way{256 << 10, 3, 60000}, Way{2 << 20, 3, 120000},
                          Way{2 << 20, 3, 120000, 1024}, Way{256, 2, 1500}}) {
        SCOPED_TRACE(std::to_string(way.budget) + " " + std::to_string(way.spillBlock));
        SpillFile::SetBlockSizeForTesting(way.spillBlock);
        const Lines lines = ListLines(way.lines);
        const std::string bytes = Bytes(lines);
        for (int order = 0; order < 3; ++order) {
            const RunPlan plan{.byFrequency = order == 1,
                               .alphabetize = order == 2,
                               .memoryBudget = way.budget,
                               .threads = way.threads};
            EXPECT_EQ(Cleaned(bytes, plan), Expected(lines, order == 1, order == 2)) << order;
        }
    }
    SpillFile::SetBlockSizeForTesting(0);
    // An alphabetized list gives the same lines back.
    const std::string sorted = Expected(ListLines(60000), false, true);
    EXPECT_EQ(Cleaned(sorted, {}), sorted);
}

namespace {
// Lines of every class and of many lengths, each drawn from a pool so that
// most come several times, some in one list only: letters of both cases,
// digits, printable specials, controls and bytes above 127 (UTF-8 and not).
const std::vector<std::string>& Pool() {
    static const std::string kBytes =
        "aBcDzZ0189 !~:$\t\x7f\xc3\xa9\xe2\x82\xac\x80\xff\xed\xa0\xf0\x9f\x98";
    static const std::vector<std::string> pool = [] {
        std::mt19937 random(3);
        std::vector<std::string> distinct(2000);
        for (std::string& line : distinct) {
            const size_t length = 1 + random() % 12;
            for (size_t i = 0; i < length; ++i) line += kBytes[random() % kBytes.size()];
        }
        return distinct;
    }();
    return pool;
}

std::vector<std::string> MixedLines(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> lines;
    for (size_t i = 0; i < count; ++i) lines.push_back(Pool()[random() % Pool().size()]);
    return lines;
}

// The reference list of the models: every line of the pool ending in a digit.
bool InReferences(const std::string& line) {
    return std::isdigit(static_cast<unsigned char>(line.back())) != 0;
}

std::string Folded(std::string line) {
    for (char& c : line)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    return line;
}

// UTF-8 characters by decoding: a sequence that decodes to no character
// (overlong, a surrogate, past U+10FFFF, cut short) is its bytes, one each.
size_t Characters(const std::string& line) {
    static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    size_t count = 0;
    for (size_t i = 0; i < line.size(); ++count) {
        const auto lead = static_cast<uint8_t>(line[i]);
        const size_t size = lead < 0x80         ? 1
                            : (lead >> 5) == 6  ? 2
                            : (lead >> 4) == 14 ? 3
                            : (lead >> 3) == 30 ? 4
                                                : 0;
        uint32_t point = lead & (0xff >> (size + 1));
        bool whole = size > 1 && i + size <= line.size();
        for (size_t k = 1; whole && k < size; ++k) {
            const auto next = static_cast<uint8_t>(line[i + k]);
            whole = (next & 0xc0) == 0x80;
            point = point << 6 | (next & 0x3f);
        }
        whole = whole && point >= kLeast[size] && point <= 0x10ffff &&
                (point < 0xd800 || point > 0xdfff);
        i += whole ? size : 1;
    }
    return count;
}

// The classes of a line's bytes, by <cctype> in the C locale: 'l', 'u',
// 'd', 's' (other printable), 'h' (above 127), 'c' (control).
std::set<char> ClassesOf(const std::string& line) {
    std::set<char> classes;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        classes.insert(byte > 127           ? 'h'
                       : std::islower(byte) ? 'l'
                       : std::isupper(byte) ? 'u'
                       : std::isdigit(byte) ? 'd'
                       : std::isprint(byte) ? 's'
                                            : 'c');
    }
    return classes;
}

// Each line in one case, the first copy of each kept, sorted as written.
std::string CasedFirsts(const Lists& lists, bool upper) {
    Lists cased = lists;
    for (auto& list : cased)
        for (std::string& line : list)
            for (char& c : line)
                c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                            : std::tolower(static_cast<unsigned char>(c)));
    Lines firsts = Firsts(cased);
    std::sort(firsts.begin(), firsts.end());
    return Joined(firsts);
}

using Filter = std::function<bool(const std::string&)>;

// The lines that `keep` keeps, in order.
Lines Where(Lines lines, const Filter& keep) {
    std::erase_if(lines, [&](const std::string& line) { return !keep(line); });
    return lines;
}

// Lines stably sorted by `length`.
Lines ByLength(Lines lines, const std::function<size_t(const std::string&)>& length) {
    std::stable_sort(lines.begin(), lines.end(),
                     [&](const auto& a, const auto& b) { return length(a) < length(b); });
    return lines;
}

size_t ByteLength(const std::string& line) {
    return line.size();
}

// Every line of every list, in order, that `keep` keeps; with `sortBy`,
// stably sorted by it.
std::string Kept(const Lists& lists, const Filter& keep,
                 const std::function<std::string(const std::string&)>& sortBy = nullptr) {
    Lines kept = Where(AllLines(lists), keep);
    if (sortBy)
        std::stable_sort(kept.begin(), kept.end(),
                         [&](const auto& a, const auto& b) { return sortBy(a) < sortBy(b); });
    return Joined(kept);
}

// The files of lines split by length, as RunOption shows them: each name on
// a line of its own, then its lines.
std::string SplitModel(const Lines& lines,
                       const std::function<size_t(const std::string&)>& length) {
    std::map<size_t, std::string> files;
    for (const std::string& line : lines) files[length(line)] += line + "\n";
    std::string out;
    for (const auto& [size, bytes] : files) out += std::to_string(size) + ".txt\n" + bytes;
    return out;
}

// An option that keeps or drops lines one by one, and its model.
struct LineOption {
    const char* name;
    RunPlan plan;  // the lists, the references and the output are filled in
    std::function<std::string(const Lists&)> model;
    size_t lists = 1;  // merged into one output
};

// Runs `option` on its lists (and the models' reference list, when its plan
// is a reference job) merged into one output, which it returns.
std::string RunOption(const LineOption& option, const Lists& lists, uint64_t budget,
                      unsigned threads) {
    TempDir dir;
    RunPlan plan = option.plan;
    for (size_t i = 0; i < lists.size(); ++i)
        plan.lists.push_back(dir.File("list" + std::to_string(i), Bytes(lists[i])));
    if (plan.job == JobKind::kReferences) {
        std::string references = "not in any list\n";
        for (const std::string& line : Pool())
            if (InReferences(line)) references += line + "\n";
        plan.references = {dir.File("references", references)};
    }
    if (plan.splitByLength)
        plan.splitByLength = dir.At("split");
    else
        plan.output = dir.At("out");
    plan.memoryBudget = budget;
    plan.threads = threads;
    RunEvents events;
    EXPECT_EQ(RunLists(plan, events).status, RunStatus::kDone);
    if (plan.output) return ReadBytes(*plan.output);
    std::map<size_t, std::string> files;  // by length, not by name
    for (const auto& entry : std::filesystem::directory_iterator(*plan.splitByLength))
        files[std::stoul(entry.path().stem().string())] = entry.path().filename().string();
    std::string out;
    for (const auto& [length, name] : files)
        out += name + "\n" + ReadBytes(*plan.splitByLength + "/" + name);
    return out;
}

const std::vector<LineOption>& LineOptions() {
    const auto all = [](const std::string&) { return true; };
    static const std::vector<LineOption> options{
        {"keep repeats, references",
         {.job = JobKind::kReferences, .keepRepeats = true},
         [](const Lists& l) { return Kept(l, [](const auto& s) { return !InReferences(s); }); }},
        {"keep repeats, references, alphabetized without case",
         {.job = JobKind::kReferences,
          .alphabetize = true,
          .ignoreCase = true,
          .keepRepeats = true},
         [](const Lists& l) {
             return Kept(
                 l, [](const auto& s) { return !InReferences(Folded(s)); }, Folded);
         }},
        {"keep repeats, lengths",
         {.minLength = 3, .maxLength = 6, .keepRepeats = true},
         [](const Lists& l) {
             return Kept(l, [](const auto& s) { return s.size() >= 3 && s.size() <= 6; });
         },
         2},
        {"keep repeats, alphabetized",
         {.alphabetize = true, .keepRepeats = true},
         [all](const Lists& l) { return Kept(l, all, [](const auto& s) { return s; }); }},
        {"by length",
         {.byLength = true},
         [](const Lists& l) { return Joined(ByLength(Firsts(l), ByteLength)); },
         2},
        {"by length in characters, lengths filtered in characters",
         {.minLength = 2, .maxLength = 5, .byLength = true, .lengthInChars = true},
         [](const Lists& l) {
             const Filter fits = [](const auto& s) {
                 return Characters(s) >= 2 && Characters(s) <= 5;
             };
             return Joined(ByLength(Where(Firsts(l), fits), Characters));
         }},
        {"by length, keep repeats, references",
         {.job = JobKind::kReferences, .keepRepeats = true, .byLength = true},
         [](const Lists& l) {
             return Joined(ByLength(
                 Where(AllLines(l), [](const auto& s) { return !InReferences(s); }), ByteLength));
         }},
        {"printable",
         {.printableOnly = true},
         [](const Lists& l) {
             return Joined(Where(Firsts(l), [](const std::string& line) {
                 const std::set<char> c = ClassesOf(line);
                 return !c.count('h') && !c.count('c');
             }));
         }},
        {"lower, alphabetized",
         {.alphabetize = true, .letterCase = LetterCase::kLower},
         [](const Lists& l) { return CasedFirsts(l, false); },
         2},
        {"upper, alphabetized",
         {.alphabetize = true, .letterCase = LetterCase::kUpper},
         [](const Lists& l) { return CasedFirsts(l, true); }},
        {"a letter required, lowercase and digits alone rejected, keep repeats",
         {.keepRepeats = true,
          .requiredClasses = {kLowerClass | kUpperClass},
          .rejectedClasses = {kDigitClass | kLowerClass}},
         [](const Lists& l) {
             return Joined(Where(AllLines(l), [](const std::string& line) {
                 const std::set<char> c = ClassesOf(line);
                 const bool only =
                     std::all_of(c.begin(), c.end(), [](char k) { return k == 'd' || k == 'l'; });
                 return (c.count('l') || c.count('u')) && !only;
             }));
         }},
        {"digits alone rejected",
         {.rejectedClasses = {kDigitClass}},
         [](const Lists& l) {
             return Joined(
                 Where(Firsts(l), [](const auto& s) { return ClassesOf(s) != std::set{'d'}; }));
         }},
        {"only in one list, three lists",
         {.setOperation = SetOperation::kOnlyInOne},
         [](const Lists& l) {
             std::map<std::string, std::set<size_t>> holders;
             for (size_t i = 0; i < l.size(); ++i)
                 for (const std::string& line : l[i]) holders[line].insert(i);
             return Joined(Where(Firsts(l), [&](const auto& s) { return holders[s].size() == 1; }));
         },
         3},
        {"split by length in characters",
         {.splitByLength = "", .lengthInChars = true},
         [](const Lists& l) { return SplitModel(Firsts(l), Characters); },
         2},
        {"split by length, keep repeats, -d",
         {.job = JobKind::kSingleLine,
          .singleLines = {"a"},
          .keepRepeats = true,
          .splitByLength = ""},
         [](const Lists& l) {
             return SplitModel(Where(AllLines(l), [](const auto& s) { return s != "a"; }),
                               ByteLength);
         }},
    };
    return options;
}
}  // namespace

TEST(DedupeModel, LineByLineOptionsMatchTheirModelsInMemoryAndSpilled) {
    struct Way {
        uint64_t budget;
        unsigned threads;
    };
    for (const LineOption& option : LineOptions()) {
        Lists lists;
        for (size_t i = 0; i < option.lists; ++i) lists.push_back(MixedLines(30000, 5 + i));
        const std::string expected = option.model(lists);
        for (const Way way : {Way{0, 1}, Way{0, 3}, Way{64 << 10, 1}, Way{64 << 10, 3}})
            EXPECT_EQ(RunOption(option, lists, way.budget, way.threads), expected)
                << option.name << ", budget " << way.budget << ", threads " << way.threads;
    }
}
