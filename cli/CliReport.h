// What lintrim-cli shows of a run, from its events: the progress bar, a
// summary line per result (read, kept, and removed by reason), and the
// failure with its file and cause; with --json one JSON object per result
// instead of either line.
#pragma once

#include <cstdio>

#include "CliProgress.h"
#include "lintrim/RunEvents.h"

class CliReport : public lintrim::RunEvents {
public:
    struct Style {
        bool json = false;
        bool dryRun = false;      // nothing was written: the summary says so
        bool stats = false;       // each result's lines described after it
        bool silent = false;      // no summary of a list written; failures still said
        std::string output = {};  // the one output the lists are merged into; empty: none
        lintrim::SetOperation setOperation = lintrim::SetOperation::kNone;
    };
    // Summaries go to `out`, failures to `err` (with --json, both to `out`).
    CliReport(std::FILE* out, std::FILE* err, CliProgress& progress, Style style)
        : m_out(out), m_err(err), m_progress(progress), m_style(style) {}

    void ListStarted(const std::vector<std::string>& paths) override;
    void StageBegun(lintrim::Stage stage) override { m_progress.SetStage(stage); }
    void Progress(const lintrim::StageProgress& at) override { m_progress.SetProgress(at); }
    void ListFinished(const lintrim::ListOutcome& outcome) override;

private:
    std::string Summary(const lintrim::ListOutcome& outcome) const;
    std::string Json(const lintrim::ListOutcome& outcome) const;

    std::FILE* m_out;
    std::FILE* m_err;
    CliProgress& m_progress;
    Style m_style;
};
