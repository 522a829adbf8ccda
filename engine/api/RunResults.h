// What a run reports of each list as it is done or fails, and the outcome
// it returns. A front end shows these; it never reads results back from
// display texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "api/JobFailure.h"

struct ListCounts {
    int64_t read = 0;      // non-empty lines loaded
    int64_t dupes = 0;     // input lines removed: repeats, reference and single-line hits
    int64_t filtered = 0;  // input lines removed for their length
};

struct ListOutcome {
    // The lists handled together (one, or all of them when they are merged),
    // or on failure the file it concerns.
    std::vector<std::string> paths;
    // Where the result went, when not over the list itself.
    std::string output;
    bool written = false;
    ListCounts counts;
    float seconds = 0;    // since the run began
    std::string summary;  // the text the window shows for the list
    // On failure: the status text the window shows, and the system's cause.
    std::string failure;
    FailureCause cause;
};

enum class RunStatus { kDone, kFailed, kCancelled };

struct RunOutcome {
    RunStatus status = RunStatus::kDone;
    int listsWritten = 0;
};
