// The frame every job runs in: the loop over the plan's lists with the
// per-list progress and summary, and the one failure path. Jobs add only
// their stages.
//
// Each list is replaced by its own result, unless the plan names one
// output: then all lists are loaded together, in the order given, into one
// result. Every list written and the failure that ends a run are told to
// the run's events.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "job/RunReporter.h"
#include "lintrim/RunEvents.h"
#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"
#include "os/RunContext.h"
#include "read/InputList.h"
#include "write/ListWriter.h"
#include "write/RemovedLinesFile.h"

namespace lintrim {

// The lists handled together and where their result goes.
struct ListTask {
    std::vector<InputList*> inputs;
    std::string path;  // names the work for its temporary files
    const RunPlan& plan;
    const RunContext& context;
    // Opens the output; called when writing starts.
    std::function<std::unique_ptr<ListWriter>()> openOutput;
    // Where the removed lines go, when they are asked for; the job commits
    // them before it commits the output.
    RemovedLinesFile* removed = nullptr;
    // How this result ends its lines ("\n" or "\r\n"), the plan's choice made
    // for these lists.
    std::string lineEnd = {};
};

class JobSteps {
public:
    virtual ~JobSteps() = default;
    // Before the input lists are opened (the reference job checks its lists here).
    virtual void PrepareList(const RunContext& /*context*/) {}
    // Loads, handles and writes the task's lists, committing the result.
    virtual ListCounts ProcessList(RunReporter& events, ListTask& task) = 0;
};

// Runs a job over the plan's lists, within what `context` lets it take.
RunOutcome RunJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                  RunControl* control, JobSteps& steps);

}  // namespace lintrim
