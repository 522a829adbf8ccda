// The default job: every repeated line removed from each list, the
// survivors in file order, by frequency, or alphabetically.
#pragma once

#include "JobResults.h"
#include "RunEvents.h"
#include "RunPlan.h"

RunOutcome DedupeJob(const RunPlan& plan, RunEvents& events);
