// The single-line job: every copy of the plan's line removed from each
// list; all other lines stay, repeats included.
#pragma once

#include "api/RunEvents.h"
#include "api/RunPlan.h"
#include "api/RunResults.h"

RunOutcome SingleLineJob(const RunPlan& plan, RunEvents& events);
