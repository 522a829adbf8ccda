// The single-line job: every copy of the plan's line removed from each
// list; all other lines stay, repeats included.
#pragma once

#include "api/RunEvents.h"
#include "api/RunPlan.h"
#include "api/RunResults.h"
#include "os/RunContext.h"

RunOutcome SingleLineJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                         RunControl* control);
