// The dedupe job: the frame, with the shared dedupe stages.
#include "job/DedupeJob.h"

#include "job/CleaningStages.h"
#include "job/JobFrame.h"

namespace lintrim {

namespace {
class DedupeSteps : public JobSteps {
public:
    ListCounts ProcessList(RunReporter& events, ListTask& task) override {
        return RunCleaningStages(events, task, InputSources(task));
    }
};
}  // namespace

RunOutcome DedupeJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                     RunControl* control) {
    DedupeSteps steps;
    return RunJob(plan, context, events, control, steps);
}

}  // namespace lintrim
