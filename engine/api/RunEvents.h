// What a run tells its front end, as it happens: typed events on the run's
// thread, each with a default that does nothing, so that a front end
// implements only what it shows. The window turns them into requests on its
// controls; the command line into a progress bar and printed lines.
#pragma once

#include <string>
#include <vector>

#include "api/RunPlan.h"
#include "api/RunResults.h"

// Thrown by an event handler when its front end has gone (the window was
// closed during the run). The run stops at once; RAII leaves every list as
// it was.
struct JobCancelled {};

class RunEvents {
public:
    virtual ~RunEvents() = default;

    virtual void RunStarted() {}
    // The lists handled together (one, or all of them when they are merged
    // into one output) are open; their progress starts at 0.
    virtual void ListStarted(const std::vector<std::string>& /*paths*/) {}
    // A stage of the current lists begins; `text` names it ("reading...").
    virtual void StageBegun(const std::string& /*text*/) {}
    // The current lists' progress on the 0-5000 scale.
    virtual void Progress(int /*position*/) {}
    // The current lists are written, or the run failed (then once, with the
    // failure and the file it concerns).
    virtual void ListFinished(const ListOutcome& /*outcome*/) {}
    virtual void RunFinished(const RunOutcome& /*outcome*/) {}

    // Asked of each list as its kept lines are about to be ordered: whether
    // to put them in byte order; `planned` is the plan's choice.
    virtual bool AlphabetizeNow(bool planned) { return planned; }
};

// Runs the plan to its end, telling `events` as it goes.
RunOutcome RunLists(const RunPlan& plan, RunEvents& events);
