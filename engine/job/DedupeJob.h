// The default job: every repeated line removed from each list, the
// survivors in file order, by frequency, or alphabetically.
#pragma once

#include "lintrim/RunEvents.h"
#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"
#include "os/RunContext.h"

namespace lintrim {

RunOutcome DedupeJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                     RunControl* control);

}  // namespace lintrim
