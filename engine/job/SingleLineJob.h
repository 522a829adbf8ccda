// The single-line job: every copy of the plan's line removed from each
// list; all other lines stay, repeats included.
#pragma once

#include "lintrim/RunEvents.h"
#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"
#include "os/RunContext.h"

namespace lintrim {

RunOutcome SingleLineJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                         RunControl* control);

}  // namespace lintrim
