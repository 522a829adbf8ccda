// The default job: every repeated line removed from each list, the
// survivors in file order, by frequency, or alphabetically.
#pragma once

#include "api/RunEvents.h"
#include "api/RunPlan.h"
#include "api/RunResults.h"
#include "os/RunContext.h"

RunOutcome DedupeJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                     RunControl* control);
