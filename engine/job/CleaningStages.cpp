// Load, group, order, write.
#include "job/CleaningStages.h"

#include "lintrim/StatusTexts.h"

#include "write/RemovedLines.h"
#include "write/SelectedLines.h"

namespace lintrim {

std::vector<ListSource> InputSources(const ListTask& task) {
    std::vector<ListSource> sources;
    for (InputList* input : task.inputs)
        sources.push_back({input, status::kInputCantBeRead, false});
    return sources;
}

LineField FieldOf(const RunPlan& plan) {
    if (!plan.delimiter) return {};
    return {true, *plan.delimiter, plan.keyField.value_or(1)};
}

// Lines written in one case are compared without it, and sorted as written.
LineKey KeyFor(const RunPlan& plan) {
    const bool cased = plan.letterCase != LetterCase::kAsRead;
    return {plan.hexKey, plan.ignoreCase || cased, FieldOf(plan),
            plan.letterCase == LetterCase::kUpper};
}

LineOutput::Shape ShapeFor(const RunPlan& plan) {
    return {plan.lineForm, plan.hexKey, FieldOf(plan), plan.cutField, plan.count, plan.letterCase};
}

LineFilter FilterFor(const RunPlan& plan, std::vector<std::string> singles) {
    return {std::move(singles),
            plan.minLength.value_or(0),
            plan.maxLength.value_or(UINT64_MAX),
            KeyFor(plan),
            LineLength(plan.lengthInChars),
            LineClasses(plan.printableOnly, plan.requiredClasses, plan.rejectedClasses),
            plan.trim};
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
    const int64_t unselected = WriteResult(events, cleaner, order, task, kept);
    ListCounts counts = cleaner.Counts();
    counts.unselected = unselected;
    return counts;
}

namespace {
// A writer that owns the output it takes a share of the lines for.
class OwnedSelection : public SelectedLines {
public:
    OwnedSelection(std::unique_ptr<ListWriter> output, LineChoice choice)
        : SelectedLines(*output, choice), m_output(std::move(output)) {}

private:
    std::unique_ptr<ListWriter> m_output;
};

// A share of the output's lines when the plan asks for one, else none.
std::unique_ptr<SelectedLines> Selected(std::unique_ptr<ListWriter>& output, const RunPlan& plan,
                                        const ListCleaner& cleaner) {
    if (plan.limit)
        return std::make_unique<OwnedSelection>(std::move(output), LineChoice::First(*plan.limit));
    if (!plan.sample) return nullptr;
    const uint64_t seed = plan.seed ? *plan.seed : std::random_device()();
    return std::make_unique<OwnedSelection>(
        std::move(output), LineChoice::Sample(*plan.sample, cleaner.KeptLines(), seed));
}
}  // namespace

// The removed lines are read while the inputs are still what was loaded:
// a list that changes meanwhile is caught by the result's commit.
int64_t WriteResult(RunReporter& events, ListCleaner& cleaner, const KeptOrder& order,
                    ListTask& task, const std::vector<bool>& kept) {
    events.StageBegun(Stage::kWriting);
    std::unique_ptr<ListWriter> whole = task.openOutput();
    const std::unique_ptr<SelectedLines> share = Selected(whole, task.plan, cleaner);
    ListWriter* const output = share ? share.get() : whole.get();
    const std::string& lineEnd = task.lineEnd;
    LineOutput lines(*output, lineEnd, ShapeFor(task.plan));
    cleaner.Write(order, lines);
    if (task.removed) {
        WriteRemovedLines(task.inputs, kept, *task.removed, lineEnd);
        task.removed->Commit();
    }
    output->Commit();
    return share ? static_cast<int64_t>(share->LeftOut()) : 0;
}

}  // namespace lintrim
