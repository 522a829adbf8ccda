// The plan a command line asks for: what lintrim-cli hands the engine, which
// checks it before anything is touched.
#pragma once

#include "CliOptions.h"
#include "lintrim/RunPlan.h"

lintrim::RunPlan PlanFor(const CliOptions& options);
