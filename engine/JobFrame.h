// The frame every job runs in: the check that something was chosen, the run's
// start time, locking the window, the loop over the chosen input lists with
// the progress range and the per-list summary, unlocking at the end, and the
// one failure path that gives the window back. Jobs add only their stages.
//
// Each list is replaced by its own result, unless the options name one
// output: then all lists are loaded together, in the order chosen, into one
// result. Every list written and the failure that ends a run are reported
// through the results channel, when there is one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "InputList.h"
#include "JobOptions.h"
#include "JobResults.h"
#include "JobWindow.h"
#include "ListWriter.h"
#include "RemovedLinesFile.h"

// The lists handled together and where their result goes.
struct ListTask {
    std::vector<InputList*> inputs;
    std::string path;  // names the work for its temporary files
    JobOptions& options;
    // Opens the output; called when writing starts.
    std::function<std::unique_ptr<ListWriter>()> openOutput;
    // Where the removed lines go, when they are asked for; the job commits
    // them before it commits the output.
    RemovedLinesFile* removed = nullptr;
};

class JobSteps {
public:
    virtual ~JobSteps() = default;
    // False when there is nothing to run; the job has then said so on a caption.
    virtual bool HasSelection(JobWindow& window) = 0;
    virtual void ReadOptionsBeforeLock(JobOptions&) {}
    virtual void ReadOptionsAfterLock(JobWindow&, JobOptions&) {}
    // Before the input lists are opened (the reference job checks its lists here).
    virtual void PrepareList(JobWindow&) {}
    // Loads, handles and writes the task's lists, committing the result.
    virtual ListCounts ProcessList(JobWindow& window, ListTask& task) = 0;
    // The status text of a list written; the filtered count only with a filter.
    virtual std::string Summary(const ListCounts& counts, float seconds, bool filtered) const;
    virtual void EndRun(JobWindow& window) = 0;
};

// Runs a job; `sink` (may be null) hears of every list.
RunOutcome RunJob(JobWindow& window, JobOptions& options, ResultSink* sink, JobSteps& steps);
// The window's form: -1 when nothing was chosen, 0 otherwise.
int RunWindowJob(JobWindow& window, JobSteps& steps);

// The gate of the jobs that start from the input lists.
bool HasInputLists(JobWindow& window);

void LockControls(JobWindow& window);
// The end of a normal run: the input selection is emptied and every control
// the lock took is given back (go first for the single-line job).
void UnlockControls(JobWindow& window, bool goFirst);
