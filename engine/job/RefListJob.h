// The reference-list job: every line of a list that also occurs in one of
// the plan's reference lists removed, the rest deduplicated.
#pragma once

#include "api/RunEvents.h"
#include "api/RunPlan.h"
#include "api/RunResults.h"
#include "os/RunContext.h"

RunOutcome RefListJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                      RunControl* control);
