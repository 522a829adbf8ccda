// The window's side of a job: what is chosen, the check boxes read at their
// moments, the controls locked for the run and given back after it, and the
// engine's events turned into the requests that show the run on the window.
#pragma once

#include <cstdint>
#include <string>
#include "JobWindow.h"

#include "lintrim/RunControl.h"
#include "lintrim/RunPlan.h"

// What the window's options add to each run's plan; the defaults give the
// window as it has always been.
struct WindowOptions {
    lintrim::LineEnd lineEnd = lintrim::LineEnd::kCrLf;
    std::string besideSuffix = {};  // each result beside its list, so named; empty: in place
    std::string removedFile = {};   // where the removed lines go; empty: nowhere
    bool ignoreCase = false;
    bool hexKey = false;
    uint64_t minLength = 0;     // bytes; 0: no shortest
    uint64_t maxLength = 0;     // bytes; 0: no longest
    uint64_t memoryBudget = 0;  // 0: the engine's default
    unsigned threads = 0;       // 0: one per core

    bool operator==(const WindowOptions&) const = default;
};

// The plan of a job of the window with these options, before the window's
// choices (lists, check boxes) are read into it.
lintrim::RunPlan PlanFor(lintrim::JobKind job, const WindowOptions& options);

// Runs the job on the worker thread; -1 when nothing was chosen, else 0.
// `control`, when given, stops the run when asked (the list being cleaned
// stays as it was, those before it keep their results).
int WindowJob(JobWindow& window, lintrim::JobKind job, const WindowOptions& options = {},
              lintrim::RunControl* control = nullptr);
