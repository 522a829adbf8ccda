// A larger list against a plain model of each ordering, large enough for the
// sorts to split over threads: in memory and spilled under tiny budgets, on
// one thread and on several, with runs merged in stretches and partitions
// split again a few levels deep: the same bytes every way.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "TempDir.h"
#include "lintrim/RunEvents.h"

using namespace lintrim;

namespace {
class DedupeModel : public ::testing::Test {
protected:
    // The first `count` lines of the list, with mixed line ends.
    static std::vector<std::string> Lines(size_t count) {
        std::mt19937 random(7);
        std::vector<std::string> lines;
        for (size_t i = 0; i < count; ++i) {
            const int word = static_cast<int>(random() % 16000);
            lines.push_back(std::to_string(word * 7919 % 100003).insert(0, 1, 'w'));
        }
        return lines;
    }
    static std::string Bytes(const std::vector<std::string>& lines) {
        std::string bytes;
        for (size_t i = 0; i < lines.size(); ++i) bytes += lines[i] + (i % 3 ? "\n" : "\r\n");
        return bytes;
    }

    static std::string Expected(const std::vector<std::string>& lines, bool byFrequency,
                                bool alphabetize) {
        std::map<std::string, int> copies;
        std::vector<std::string> firsts;
        for (const std::string& line : lines)
            if (copies[line]++ == 0) firsts.push_back(line);
        if (alphabetize) std::sort(firsts.begin(), firsts.end());
        if (byFrequency)
            std::stable_sort(firsts.begin(), firsts.end(), [&](const auto& a, const auto& b) {
                return copies.at(a) > copies.at(b);
            });
        std::string out;
        for (const std::string& line : firsts) out += line + "\n";
        return out;
    }

    static std::string Run(const std::string& list, RunPlan plan) {
        TempDir dir;
        plan.lists = {dir.File("list.txt", list)};
        RunEvents events;
        EXPECT_EQ(RunLists(plan, events).status, RunStatus::kDone);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"list.txt"});  // no temporary left
        return ReadBytes(plan.lists[0]);
    }
};
}  // namespace

// A budget of a few hundred bytes splits every partition again and again,
// each piece a file: a shorter list does that.
TEST_F(DedupeModel, EveryOrderingMatchesTheModelInMemoryAndSpilled) {
    struct Way {
        uint64_t budget;
        unsigned threads;
        size_t lines;
    };
    for (const Way way : {Way{0, 0, 60000}, Way{64 << 10, 1, 30000}, Way{64 << 10, 3, 30000},
                          Way{256 << 10, 3, 60000}, Way{256, 2, 1500}}) {
        SCOPED_TRACE(way.budget);
        const std::vector<std::string> lines = Lines(way.lines);
        const std::string bytes = Bytes(lines);
        for (int order = 0; order < 3; ++order) {
            const RunPlan plan{.byFrequency = order == 1,
                               .alphabetize = order == 2,
                               .memoryBudget = way.budget,
                               .threads = way.threads};
            EXPECT_EQ(Run(bytes, plan), Expected(lines, order == 1, order == 2)) << order;
        }
    }
    // An alphabetized list gives the same lines back.
    const std::string sorted = Expected(Lines(60000), false, true);
    EXPECT_EQ(Run(sorted, {}), sorted);
}
