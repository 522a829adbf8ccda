// Fields, counts, a share of the kept lines and trimmed lines against a
// plain model of each ordering: in memory and spilled under a tiny budget,
// on one thread and on three, the same bytes every way.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "ModelRun.h"
#include "TempDir.h"
#include "lintrim/RunEvents.h"
#include "write/SelectedLines.h"

using namespace lintrim;

namespace {
// Lines "hN:wM": the whole lines are mostly distinct, their last fields
// repeat. Some have blanks about them, the first a byte-order mark.
std::vector<std::string> FieldLines(size_t count) {
    std::mt19937 random(11);
    std::vector<std::string> lines;
    for (size_t i = 0; i < count; ++i) {
        const int word = static_cast<int>(random() % 6000);
        std::string line =
            "h" + std::to_string(random() % 7) + ":w" + std::to_string(word * 7919 % 100003);
        if (random() % 5 == 0) line = " \t" + line;
        if (random() % 6 == 0) line += "  ";
        if (random() % 97 == 0) line = "\t ";
        lines.push_back(line);
    }
    lines[0] = "\xef\xbb\xbf" + lines[0];
    return lines;
}

std::string Trimmed(std::string line) {
    if (line.rfind("\xef\xbb\xbf", 0) == 0) line.erase(0, 3);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

std::string LastField(const std::string& line) {
    return line.substr(line.rfind(':') == std::string::npos ? 0 : line.rfind(':') + 1);
}

struct Shape {
    bool field, cut, count, trim;
    std::optional<uint64_t> limit;
};

// Keys in their first-seen order, sorted as the order asks; each written
// as its first line (or key) after its count.
std::string Model(const std::vector<std::string>& lines, int order, const Shape& s) {
    std::map<std::string, uint64_t> copies;
    std::map<std::string, std::string> first;
    std::vector<std::string> keys;
    for (const std::string& read : lines) {
        const std::string line = s.trim ? Trimmed(read) : read;
        if (line.empty()) continue;
        const std::string key = s.field ? LastField(line) : line;
        if (copies[key]++ == 0) keys.push_back(key), first[key] = line;
    }
    if (order == 2) std::sort(keys.begin(), keys.end());
    if (order == 1)
        std::stable_sort(keys.begin(), keys.end(),
                         [&](const auto& a, const auto& b) { return copies[a] > copies[b]; });
    keys.resize(std::min<size_t>(keys.size(), s.limit.value_or(keys.size())));
    std::string out;
    for (const std::string& key : keys)
        out +=
            (s.count ? std::to_string(copies[key]) + "\t" : "") + (s.cut ? key : first[key]) + "\n";
    return out;
}

struct Way {
    uint64_t budget;
    unsigned threads;
};
constexpr Way kWays[] = {{0, 0}, {64 << 10, 1}, {64 << 10, 3}};

RunPlan PlanFor(const Way& way, int order, const Shape& s) {
    RunPlan plan{.byFrequency = order == 1, .alphabetize = order == 2};
    if (s.field) plan.delimiter = ':', plan.keyField = kLastField;
    plan.cutField = s.cut;
    plan.count = s.count;
    plan.trim = s.trim;
    plan.limit = s.limit;
    plan.memoryBudget = way.budget;
    plan.threads = way.threads;
    return plan;
}

// Whether every line of `part` is in `whole`, in the same order.
bool Subsequence(const std::string& part, const std::string& whole) {
    std::istringstream wholeLines(whole);
    std::istringstream partLines(part);
    std::string want;
    std::string line;
    while (std::getline(partLines, want)) {
        while (std::getline(wholeLines, line) && line != want) {
        }
        if (line != want) return false;
    }
    return true;
}
}  // namespace

TEST(ShapedModel, FieldsCountsLimitsAndTrimmingMatchTheModelEveryWay) {
    const std::vector<std::string> lines = FieldLines(30000);
    const std::string bytes = Bytes(lines);
    const Shape shapes[] = {{true, false, false, false, {}},
                            {true, true, true, false, {}},
                            {false, false, true, true, {}},
                            {true, true, false, true, 700},
                            {false, false, false, false, 1}};
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.budget + way.threads);
        for (const Shape& shape : shapes)
            for (int order = 0; order < 3; ++order)
                EXPECT_EQ(Cleaned(bytes, PlanFor(way, order, shape)), Model(lines, order, shape))
                    << order << shape.field << shape.cut << shape.count << shape.trim;
    }
}

// A sample of one seed is the same lines every way, as many as asked, in
// the order of the whole result; another seed draws another.
TEST(ShapedModel, ASampleIsAnOrderedPartOfTheResultTheSameEveryWay) {
    const std::vector<std::string> lines = FieldLines(30000);
    const std::string bytes = Bytes(lines);
    const Shape all{true, false, true, false, {}};
    for (int order = 0; order < 3; ++order) {
        const std::string whole = Model(lines, order, all);
        std::set<std::string> samples;
        for (const Way& way : kWays) {
            RunPlan plan = PlanFor(way, order, all);
            plan.sample = 500;
            plan.seed = 5;
            const std::string sample = Cleaned(bytes, plan);
            EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 500);
            EXPECT_TRUE(Subsequence(sample, whole)) << order;
            samples.insert(sample);
        }
        EXPECT_EQ(samples.size(), 1u) << order;
        RunPlan other = PlanFor(kWays[0], order, all);
        other.sample = 500;
        other.seed = 6;
        EXPECT_EQ(samples.count(Cleaned(bytes, other)), 0u) << "another seed, another sample";
    }
}

// Over many seeds each of ten lines is drawn about equally often.
TEST(ShapedModel, LineChoiceDrawsEachLineAlikeAndTakesTheFirst) {
    constexpr int kDraws = 6000;
    std::vector<int> drawn(10);
    for (int seed = 0; seed < kDraws; ++seed) {
        LineChoice choice = LineChoice::Sample(3, 10, static_cast<uint64_t>(seed));
        int taken = 0;
        for (int& count : drawn) taken += choice.Next() ? (++count, 1) : 0;
        ASSERT_EQ(taken, 3);
    }
    for (const int count : drawn) EXPECT_NEAR(count, kDraws * 3 / 10, kDraws * 3 / 100);
}
