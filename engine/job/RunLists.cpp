// The engine's entry: a plan run by its job, within what the plan lets it take.
#include "api/PlanCheck.h"
#include "api/RunEvents.h"
#include "job/DedupeJob.h"
#include "job/RefListJob.h"
#include "job/SingleLineJob.h"
#include "os/EngineSettings.h"

RunOutcome RunLists(const RunPlan& plan, RunEvents& events) {
    if (const std::optional<PlanRefusal> refusal = CheckPlan(plan)) {
        RunOutcome refused{RunStatus::kRefused, 0, refusal->reason};
        try {
            events.RunFinished(refused);
        } catch (const JobCancelled&) {
        }
        return refused;
    }
    EngineSettings settings = Settings();
    if (plan.memoryBudget) settings.memoryBudget = plan.memoryBudget;
    if (plan.threads) settings.threads = plan.threads;
    if (!plan.tempDir.empty()) settings.tempDir = plan.tempDir;
    const ScopedSettings scoped(std::move(settings));
    if (plan.setOperation == SetOperation::kCascade && plan.job == JobKind::kDedupe)
        return RefListJob(plan, events);
    switch (plan.job) {
        case JobKind::kReferences:
            return RefListJob(plan, events);
        case JobKind::kSingleLine:
            return SingleLineJob(plan, events);
        case JobKind::kDedupe:
            break;
    }
    return DedupeJob(plan, events);
}
