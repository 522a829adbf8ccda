// The default job: every repeated line removed from each chosen list, the
// survivors in file order, by frequency, or alphabetically.
#pragma once

#include "JobOptions.h"
#include "JobResults.h"
#include "JobWindow.h"

// Runs on the worker thread; -1 when no list was chosen, else 0.
int DedupeJob(JobWindow& window);
// With options given as data and a results channel.
RunOutcome DedupeJob(JobWindow& window, JobOptions& options, ResultSink& sink);
