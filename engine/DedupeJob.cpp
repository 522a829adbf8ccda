// The dedupe job: the frame, with the shared dedupe stages.
#include "DedupeJob.h"

#include "DedupeStages.h"
#include "JobFrame.h"

namespace {
class DedupeSteps : public JobSteps {
public:
    bool HasSelection(JobWindow& window) override { return HasInputLists(window); }

    void ReadOptionsBeforeLock(JobOptions& options) override {
        m_byFrequency = options.ByFrequency();
    }

    ListCounts ProcessList(JobWindow& window, ListTask& task) override {
        return RunDedupeStages(window, task, InputSources(task), m_byFrequency);
    }

    void EndRun(JobWindow& window) override { UnlockControls(window, false); }

private:
    bool m_byFrequency = false;
};
}  // namespace

int DedupeJob(JobWindow& window) {
    DedupeSteps steps;
    return RunWindowJob(window, steps);
}

RunOutcome DedupeJob(JobWindow& window, JobOptions& options, ResultSink& sink) {
    DedupeSteps steps;
    return RunJob(window, options, &sink, steps);
}
