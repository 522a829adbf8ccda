// The frame every job runs in: the check that something was chosen, the run's
// start time, locking the window, the loop over the chosen input lists with
// the progress range and the per-list summary, unlocking at the end, and the
// one failure path that gives the window back. Jobs add only their stages.
#pragma once

#include <cstdint>
#include <string>

#include "InputList.h"
#include "JobWindow.h"

struct ListCounts {
    int64_t read = 0;   // non-empty lines loaded
    int64_t dupes = 0;  // input lines removed
};

class JobSteps {
public:
    virtual ~JobSteps() = default;
    // False when there is nothing to run; the job has then said so on a caption.
    virtual bool HasSelection(JobWindow& window) = 0;
    virtual void ReadOptionsBeforeLock(JobWindow&) {}
    virtual void ReadOptionsAfterLock(JobWindow&) {}
    // Before the input list is opened (the reference job checks its lists here).
    virtual void PrepareList(JobWindow&) {}
    // Loads, handles and writes back one opened list.
    virtual ListCounts ProcessList(JobWindow& window, InputList& input,
                                   const std::string& path) = 0;
    virtual std::string Summary(const ListCounts& counts, float seconds) const;
    virtual void EndRun(JobWindow& window) = 0;
};

// Runs a job: -1 when nothing was chosen, 0 otherwise.
int RunJob(JobWindow& window, JobSteps& steps);

// The gate of the jobs that start from the input lists.
bool HasInputLists(JobWindow& window);

void LockControls(JobWindow& window);
// The end of a normal run: the input selection is emptied and every control
// the lock took is given back (go first for the single-line job).
void UnlockControls(JobWindow& window, bool goFirst);
