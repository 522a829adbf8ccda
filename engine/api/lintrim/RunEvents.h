// What a run tells its front end, as it happens: typed events on the run's
// thread, each with a default that does nothing, so that a front end
// implements only what it shows. The window turns them into requests on its
// controls; the command line into a progress bar and printed lines. An
// event asks nothing back: a front end that wants to stop the run or choose
// an order tells its RunControl.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lintrim/RunControl.h"
#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"

namespace lintrim {

// The stages of cleaning one list, or the lists merged into one output.
enum class Stage {
    kLoading,   // the lists are read and their lines hashed
    kGrouping,  // the copies of each line are found
    kOrdering,  // the kept lines are put in the chosen order (not needed for file order)
    kWriting,   // the result is written
};

// How far a stage is: `done` of `total` bytes read (loading, and writing a
// result streamed as its lists are read) or lines (the other stages).
// `total` is 0 when it is not known (standard input).
struct StageProgress {
    Stage stage;
    uint64_t done;
    uint64_t total;
    bool bytes;
};

class RunEvents {
public:
    virtual ~RunEvents() = default;

    virtual void RunStarted() {}
    // The lists handled together (one, or all of them when they are merged
    // into one output) are open.
    virtual void ListStarted(const std::vector<std::string>& /*paths*/) {}
    virtual void StageBegun(Stage /*stage*/) {}
    virtual void Progress(const StageProgress& /*progress*/) {}
    // The order of the current lists' kept lines is chosen as this returns:
    // after grouping, or for the single-line job before its lists are read
    // (in file order it streams them). RunControl::SetAlphabetize decides
    // it then, if it was called; else the plan.
    virtual void OrderToBeChosen() {}
    // The current lists are written, or the run failed (then once, with the
    // failure and the file it concerns).
    virtual void ListFinished(const ListOutcome& /*outcome*/) {}
    virtual void RunFinished(const RunOutcome& /*outcome*/) {}
};

// Runs the plan to its end, telling `events` as it goes; `control`, when
// given, may stop it or choose its order meanwhile.
RunOutcome RunLists(const RunPlan& plan, RunEvents& events, RunControl* control = nullptr);

}  // namespace lintrim
