// A third front end in twenty lines: dedupes the lists named on its command
// line in place, alphabetically, within 64 MiB, and prints each one's counts.
// It includes the engine's api/ only, as every front end does.
#include <cstdio>

#include "lintrim/RunEvents.h"

class Printer : public lintrim::RunEvents {
    void ListFinished(const lintrim::ListOutcome& list) override {
        if (!list.failure.empty())
            std::printf("%s: %s\n", list.paths.front().c_str(), list.failure.c_str());
        else
            std::printf("%s: %lld kept, %lld repeats\n", list.paths.front().c_str(),
                        static_cast<long long>(list.counts.Kept()),
                        static_cast<long long>(list.counts.repeats));
    }
};

int main(int argc, char** argv) {
    lintrim::RunPlan plan;
    plan.lists.assign(argv + 1, argv + argc);
    plan.alphabetize = true;
    plan.memoryBudget = uint64_t{64} << 20;
    Printer printer;
    const lintrim::RunOutcome outcome = lintrim::RunLists(plan, printer);
    if (outcome.status == lintrim::RunStatus::kRefused)
        std::printf("%s\n", outcome.refusal.c_str());
    return outcome.status == lintrim::RunStatus::kDone ? 0 : 1;
}
