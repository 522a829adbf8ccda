// The engine's entry: a plan checked, then run by its job, within what the
// plan lets it take.
#include "job/DedupeJob.h"
#include "job/RefListJob.h"
#include "job/SingleLineJob.h"
#include "lintrim/PlanCheck.h"
#include "lintrim/RunEvents.h"
#include "os/RunContext.h"
#include "os/ThreadCaches.h"

namespace lintrim {

RunOutcome RunLists(const RunPlan& plan, RunEvents& events, RunControl* control) {
    const struct CachesReleased {
        ~CachesReleased() { ReleaseThreadCaches(); }
    } released;
    if (const std::optional<PlanRefusal> refusal = CheckPlan(plan)) {
        RunOutcome refused{RunStatus::kRefused, 0, refusal->reason};
        events.RunFinished(refused);
        return refused;
    }
    const RunContext context = RunContext::For(plan);
    if (plan.setOperation == SetOperation::kCascade && plan.job == JobKind::kDedupe)
        return RefListJob(plan, context, events, control);
    // Filtering alone, every other line kept, is the single-line job's pass.
    if (plan.keepRepeats && plan.job == JobKind::kDedupe)
        return SingleLineJob(plan, context, events, control);
    switch (plan.job) {
        case JobKind::kReferences:
            return RefListJob(plan, context, events, control);
        case JobKind::kSingleLine:
            return SingleLineJob(plan, context, events, control);
        case JobKind::kDedupe:
            break;
    }
    return DedupeJob(plan, context, events, control);
}

}  // namespace lintrim
