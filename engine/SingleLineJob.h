// The single-line job: every copy of the plan's line removed from each
// list; all other lines stay, repeats included.
#pragma once

#include "JobResults.h"
#include "RunEvents.h"
#include "RunPlan.h"

RunOutcome SingleLineJob(const RunPlan& plan, RunEvents& events);
