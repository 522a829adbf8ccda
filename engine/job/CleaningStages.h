// The stages the dedupe and reference-list jobs share, each told as it
// begins: load, group, sort the kept lines unless they stay in file order,
// and write the result, with the removed lines when they are asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "job/JobFrame.h"
#include "job/ListCleaner.h"
#include "lintrim/RunEvents.h"
#include "load/LineFilter.h"

namespace lintrim {

// The task's input lists as sources, in order.
std::vector<ListSource> InputSources(const ListTask& task);

// The field the plan compares lines by; off: the whole line.
LineField FieldOf(const RunPlan& plan);
// What the plan compares lines by.
LineKey KeyFor(const RunPlan& plan);
// How the plan writes kept lines.
LineOutput::Shape ShapeFor(const RunPlan& plan);

// The lines the plan drops, with the single-line job's lines.
LineFilter FilterFor(const RunPlan& plan, std::vector<std::string> singles = {});

// The order the kept lines are written in: the plan's, unless the front end
// chooses alphabetical order for this list (RunControl), which it is not
// asked for lines split by length: each file takes the lines of one length.
KeptOrder OrderFor(RunReporter& events, const RunPlan& plan);

// Runs the stages over `sources`: the task's inputs first, then any
// reference lists.
ListCounts RunCleaningStages(RunReporter& events, ListTask& task,
                             const std::vector<ListSource>& sources);

// Writes the kept lines to the task's output in the plan's form and commits
// it; the removed lines, found from `kept`, are staged first, as read.
// Returns how many kept lines the plan's limit or sample left out.
int64_t WriteResult(RunReporter& events, ListCleaner& cleaner, const KeptOrder& order, ListTask& task,
                 const std::vector<bool>& kept);

}  // namespace lintrim
