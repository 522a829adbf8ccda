// The run's events as its stages send them. Each goes to the front end;
// then a stop that its RunControl asks for ends the run with RunStopped,
// which the job frame catches, RAII leaving every list as it was. Progress
// is sent at a steady cadence, whatever a front end makes of it.
#pragma once

#include <cstdint>

#include "lintrim/RunEvents.h"

namespace lintrim {

// Thrown where a stop was asked for.
struct RunStopped {};

// Lines loaded between reports of loading, rows between reports of the
// other stages.
inline constexpr int64_t kLinesPerLoadReport = 1000;
inline constexpr uint64_t kRowsPerReport = 10000;

class RunReporter {
public:
    RunReporter(RunEvents& events, RunControl* control) : m_events(events), m_control(control) {}

    void StageBegun(Stage stage);
    void Progress(Stage stage, uint64_t done, uint64_t total, bool bytes = false);
    // Tells the front end the order is about to be chosen; whether the kept
    // lines go in byte order, as the front end's control or the plan says.
    bool ChooseAlphabetize(bool planned);
    // Throws RunStopped when a stop was asked for.
    void StopIfAsked() const;
    RunEvents& Events() { return m_events; }

private:
    RunEvents& m_events;
    RunControl* m_control;
};

// Sends a stage's progress each time `done` passes a multiple of the row
// step (and once at the start unless SkipStart).
class RowReporter {
public:
    RowReporter(RunReporter& reporter, Stage stage, uint64_t total)
        : m_reporter(reporter), m_stage(stage), m_total(total) {}

    void At(uint64_t done);
    // Counts the start as reported, for stages that say nothing before work.
    void SkipStart() { m_reported = true; }

private:
    RunReporter& m_reporter;
    Stage m_stage;
    uint64_t m_total;
    bool m_reported = false;
    uint64_t m_step = 0;
};

}  // namespace lintrim
