// What lintrim-cli shows of a run, from its events: the progress bar, a
// summary line per list written, and the failure with its file and cause.
#pragma once

#include <cstdio>

#include "CliProgress.h"
#include "api/RunEvents.h"

class CliReport : public RunEvents {
public:
    // Summaries go to `out`, failures to `err`.
    CliReport(std::FILE* out, std::FILE* err, CliProgress& progress)
        : m_out(out), m_err(err), m_progress(progress) {}

    void ListStarted(const std::vector<std::string>&) override { m_progress.StartRange(); }
    void StageBegun(const std::string& text) override { m_progress.SetStage(text); }
    void Progress(int position) override { m_progress.SetPosition(position); }
    void ListFinished(const ListOutcome& outcome) override;

private:
    std::FILE* m_out;
    std::FILE* m_err;
    CliProgress& m_progress;
};
