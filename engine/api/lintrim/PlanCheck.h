// The rules a plan must keep before the engine touches anything. RunLists
// checks every plan with them, whoever made it, and refuses one that breaks
// a rule without opening, reading or writing a file; a front end may ask
// first, to refuse a plan the way it refuses a bad command.
#pragma once

#include <optional>
#include <string>

#include "lintrim/RunPlan.h"

namespace lintrim {

// Why a plan was refused, in words a user reads after the program's name:
// the rule, and the files it concerns by the names the plan gave them.
struct PlanRefusal {
    std::string reason;
};

// The first rule the plan breaks, if any. Files are compared by what they
// are, whatever names reach them (links, `./`, another folder's path); a
// name that does not exist yet is compared by its folder and its last part.
std::optional<PlanRefusal> CheckPlan(const RunPlan& plan);

}  // namespace lintrim
