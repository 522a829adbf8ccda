// The reference-list job: every line of a list that also occurs in one of
// the plan's reference lists removed, the rest deduplicated.
#pragma once

#include "api/RunEvents.h"
#include "api/RunPlan.h"
#include "api/RunResults.h"

RunOutcome RefListJob(const RunPlan& plan, RunEvents& events);
