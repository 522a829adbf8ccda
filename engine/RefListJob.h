// The reference-list job: every line of a list that also occurs in one of
// the plan's reference lists removed, the rest deduplicated.
#pragma once

#include "JobResults.h"
#include "RunEvents.h"
#include "RunPlan.h"

RunOutcome RefListJob(const RunPlan& plan, RunEvents& events);
