// The window's side of a job: what is chosen, the check boxes read at their
// moments, the controls locked for the run and given back after it, and the
// engine's events turned into the requests that show the run on the window.
#pragma once

#include "JobWindow.h"
#include "api/RunPlan.h"

// What the window's settings add to each run's plan; the defaults give the
// window as it has always been.
struct WindowOptions {
    uint64_t memoryBudget = 0;  // 0: the engine's default
    unsigned threads = 0;       // 0: one per core
};

// Runs the job on the worker thread; -1 when nothing was chosen, else 0.
int WindowJob(JobWindow& window, JobKind job, const WindowOptions& options = {});
