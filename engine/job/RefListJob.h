// The reference-list job: every line of a list that also occurs in one of
// the plan's reference lists removed, the rest deduplicated.
#pragma once

#include "lintrim/RunEvents.h"
#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"
#include "os/RunContext.h"

namespace lintrim {

RunOutcome RefListJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                      RunControl* control);

}  // namespace lintrim
