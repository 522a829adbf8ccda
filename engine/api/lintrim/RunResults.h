// What a run reports of each list as it is done or fails, and the outcome
// it returns. A front end shows these; it never reads results back from
// display texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lintrim/JobFailure.h"

namespace lintrim {

// What a list's own lines look like, when the plan asks (RunPlan::stats).
struct LineStats {
    static constexpr size_t kLengths = 257;  // lengths 0-255, then 256 or more together
    std::vector<int64_t> lengths;            // lines by length, the break not counted
    int64_t crlf = 0;                        // lines ended with CR LF
    int64_t high = 0;                        // lines holding a byte above 127
    int64_t nul = 0;                         // lines holding a NUL byte
    int64_t hex = 0;                         // lines in $HEX[...] form

    LineStats& operator+=(const LineStats& other);
};

// Lines are the non-empty ones.
struct ListCounts {
    int64_t read = 0;           // loaded, the reference lists' lines too
    int64_t referenceRead = 0;  // of `read`, the reference lists' lines

    // Input lines removed, by reason; each removed line has one.
    int64_t repeats = 0;        // as a copy of an earlier line that is kept
    int64_t referenceHits = 0;  // as a reference list holds them
    int64_t singleHits = 0;     // as one of the single-line job's lines
    int64_t filtered = 0;       // for their length
    int64_t setHits = 0;        // by the plan's set operation
    int64_t classFiltered = 0;  // by the class filters
    int64_t unselected = 0;     // kept lines that a limit or a sample left out
    // Of referenceHits and setHits, the copies beyond each line's first.
    int64_t referenceRepeats = 0;
    int64_t setRepeats = 0;

    LineStats stats;  // empty unless the plan asks for it

    int64_t ListLines() const { return read - referenceRead; }
    int64_t Kept() const {
        return ListLines() - repeats - referenceHits - singleHits - filtered - setHits -
               classFiltered - unselected;
    }
};

struct ListOutcome {
    // The lists handled together (one, or all of them when they are merged),
    // or on failure the file it concerns.
    std::vector<std::string> paths;
    // Where the result went, when not over the list itself.
    std::string output;
    bool written = false;
    ListCounts counts;
    float seconds = 0;  // since the run began
    // On failure: what failed ("output list can't be written"), and the
    // system's cause.
    std::string failure;
    FailureCause cause;
};

// kRefused: the plan broke a rule (api/PlanCheck.h) and nothing was touched.
enum class RunStatus { kDone, kFailed, kCancelled, kRefused };

struct RunOutcome {
    RunStatus status = RunStatus::kDone;
    int listsWritten = 0;
    std::string refusal;  // why the plan was refused
};

}  // namespace lintrim
