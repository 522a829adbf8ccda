// The dedupe job: the frame, with loading and the shared dedupe stages.
#include "DedupeJob.h"

#include "ControlIds.h"
#include "DedupeStages.h"
#include "JobFrame.h"
#include "ListLoader.h"

namespace {
class DedupeSteps : public JobSteps {
public:
    bool HasSelection(JobWindow& window) override { return HasInputLists(window); }

    void ReadOptionsBeforeLock(JobWindow& window) override {
        m_byFrequency = window.IsChecked(IDC_BY_FREQUENCY);
    }

    ListCounts ProcessList(JobWindow& window, InputList& input, const std::string&,
                           PivotRandom& random) override {
        LineTable table;
        LoadList(window, input, true, table);
        const int64_t dupes =
            RunDedupeStages(window, table, m_byFrequency, random, input.Location());
        return {table.n, dupes};
    }

    void EndRun(JobWindow& window) override { UnlockControls(window, false); }

private:
    bool m_byFrequency = false;
};
}  // namespace

int DedupeJob(JobWindow& window) {
    DedupeSteps steps;
    return RunJob(window, steps);
}
