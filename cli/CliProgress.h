// The command line's progress bar: on a terminal, the stage and how far the
// list is on standard error, with the time taken and left, and the rate at
// which the list is read, once a list has run a while. All of it comes from
// the run's events.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "lintrim/RunEvents.h"

class CliProgress {
public:
    CliProgress(std::FILE* err, bool showProgress);

    // A list begins (or lists merged into one).
    void StartList();
    void SetStage(lintrim::Stage stage);
    void SetProgress(const lintrim::StageProgress& at);
    // Takes the bar off the line, before a report is printed.
    void Clear();

private:
    void Draw();
    // ", 9 s in, 41 MB/s, about 12 s left" once a list has run a while, else
    // empty.
    std::string Pace(double done) const;

    using Clock = std::chrono::steady_clock;
    std::FILE* m_err;
    bool m_showProgress;
    bool m_started = false;
    lintrim::Stage m_stage = lintrim::Stage::kLoading;
    double m_stageDone = 0;  // of the current stage, 0 to 1
    int m_drawn = -1;        // the per-mille last drawn
    Clock::time_point m_listStart;
    uint64_t m_bytesRead = 0;  // of the list, while it is loaded
};
