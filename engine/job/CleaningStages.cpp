// Load, group, order, write.
#include "job/CleaningStages.h"

#include "lintrim/StatusTexts.h"

#include "write/RemovedLines.h"

namespace lintrim {

std::vector<ListSource> InputSources(const ListTask& task) {
    std::vector<ListSource> sources;
    for (InputList* input : task.inputs)
        sources.push_back({input, status::kInputCantBeRead, false});
    return sources;
}

// Lines written in one case are compared without it, and sorted as written.
LineKey KeyFor(const RunPlan& plan) {
    const bool cased = plan.letterCase != LetterCase::kAsRead;
    return {plan.hexKey, plan.ignoreCase || cased, plan.letterCase == LetterCase::kUpper};
}

LineFilter FilterFor(const RunPlan& plan, std::vector<std::string> singles) {
    return {std::move(singles),
            plan.minLength.value_or(0),
            plan.maxLength.value_or(UINT64_MAX),
            KeyFor(plan),
            LineLength(plan.lengthInChars),
            LineClasses(plan.printableOnly, plan.requiredClasses, plan.rejectedClasses)};
}

KeptOrder OrderFor(RunReporter& events, const RunPlan& plan) {
    KeptOrder order{OrderKind::File, KeyFor(plan), LineLength(plan.lengthInChars)};
    if (plan.byLength || plan.splitByLength)
        order.kind = OrderKind::Length;
    else if (events.ChooseAlphabetize(plan.alphabetize))
        order.kind = OrderKind::Alphabetical;
    else if (plan.byFrequency)
        order.kind = OrderKind::Frequency;
    return order;
}

ListCounts RunCleaningStages(RunReporter& events, ListTask& task,
                             const std::vector<ListSource>& sources) {
    ListCleaner cleaner(events, task.context, task.path);
    if (task.plan.stats) cleaner.DescribeLines();
    cleaner.KeepOnly(task.plan.setOperation);
    events.StageBegun(Stage::kLoading);
    cleaner.Load(sources, FilterFor(task.plan), KeyFor(task.plan));
    events.StageBegun(Stage::kGrouping);
    cleaner.Group(task.plan.keepRepeats ? KeptCopies::kApartMatched : KeptCopies::kFirst);
    // Grouping by hash has found every line's copies: the order is chosen now.
    const KeptOrder order = OrderFor(events, task.plan);
    if (cleaner.NeedsSort(order)) events.StageBegun(Stage::kOrdering);
    cleaner.Sort(order);
    const std::vector<bool> kept = task.removed ? cleaner.KeptMask() : std::vector<bool>{};
    WriteResult(events, cleaner, order, task, kept);
    return cleaner.Counts();
}

// The removed lines are read while the inputs are still what was loaded:
// a list that changes meanwhile is caught by the result's commit.
void WriteResult(RunReporter& events, ListCleaner& cleaner, const KeptOrder& order, ListTask& task,
                 const std::vector<bool>& kept) {
    events.StageBegun(Stage::kWriting);
    const std::unique_ptr<ListWriter> output = task.openOutput();
    const std::string& lineEnd = task.lineEnd;
    LineOutput lines(*output, lineEnd, task.plan.lineForm, task.plan.hexKey, task.plan.letterCase);
    cleaner.Write(order, lines);
    if (task.removed) {
        WriteRemovedLines(task.inputs, kept, *task.removed, lineEnd);
        task.removed->Commit();
    }
    output->Commit();
}

}  // namespace lintrim
