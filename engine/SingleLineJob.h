// The single-line job: every copy of the line typed into the window removed
// from each chosen list; all other lines stay, repeats included.
#pragma once

#include "JobOptions.h"
#include "JobResults.h"
#include "JobWindow.h"

// Runs on the worker thread; -1 when no list was chosen, else 0.
int SingleLineJob(JobWindow& window);
// With options given as data and a results channel.
RunOutcome SingleLineJob(JobWindow& window, JobOptions& options, ResultSink& sink);
