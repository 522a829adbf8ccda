// The engine's events as requests on the window: the stage texts and the
// positions of the 0-5000 scale, each list's summary or failure, and the
// Alphabetize box read when a list's order is chosen. A request that finds
// the window gone stops the run, whose list being written stays as it was.
#pragma once

#include <string>
#include <vector>

#include "JobWindow.h"
#include "ProgressScale.h"
#include "lintrim/RunControl.h"
#include "lintrim/RunEvents.h"

class WindowEvents : public lintrim::RunEvents {
public:
    // `filtered`: the plan filters by length, and the summaries say so.
    WindowEvents(JobWindow& window, lintrim::RunControl& control, lintrim::JobKind job,
                 bool filtered)
        : m_window(window), m_control(control), m_job(job), m_filtered(filtered) {}

    void ListStarted(const std::vector<std::string>& paths) override;
    void StageBegun(lintrim::Stage stage) override;
    void Progress(const lintrim::StageProgress& progress) override;
    void OrderToBeChosen() override;
    void ListFinished(const lintrim::ListOutcome& outcome) override;
    void RunFinished(const lintrim::RunOutcome& outcome) override;

    // The status text of a run stopped by the user, naming the list left as it was.
    std::string StoppedText() const;

    // Every list of a run, a line each: its counts by reason, or its
    // failure and cause.
    static std::string ResultsText(const std::vector<lintrim::ListOutcome>& outcomes);
    // The summary of a list written, as the window shows it.
    static std::string Summary(lintrim::JobKind job, const lintrim::ListCounts& counts,
                               float seconds, bool filtered);

private:
    // Runs the requests of one event; the window gone stops the run.
    template <typename Requests>
    void Request(Requests&& requests);
    ScaleSpan SpanOf(lintrim::Stage stage) const;

    JobWindow& m_window;
    lintrim::RunControl& m_control;
    lintrim::JobKind m_job;
    bool m_filtered;
    std::vector<std::string> m_current;           // the lists being cleaned
    std::vector<lintrim::ListOutcome> m_results;  // of every list so far
};
