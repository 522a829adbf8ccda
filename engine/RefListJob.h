// The reference-list job: every line of a chosen list that also occurs in a
// chosen reference list removed, the rest deduplicated.
#pragma once

#include "JobOptions.h"
#include "JobResults.h"
#include "JobWindow.h"

// Runs on the worker thread; -1 when no reference list was chosen, else 0.
int RefListJob(JobWindow& window);
// With options given as data and a results channel.
RunOutcome RefListJob(JobWindow& window, JobOptions& options, ResultSink& sink);
