// What lintrim-cli prints about a run, taken from the results channel: a
// summary line per list written, and the failure with its cause.
#pragma once

#include <cstdio>

#include "CliWindow.h"
#include "JobResults.h"

class CliReport : public ResultSink {
public:
    // Summaries go to `out`, failures to `err`.
    CliReport(std::FILE* out, std::FILE* err, CliWindow& window)
        : m_out(out), m_err(err), m_window(window) {}

    void ListFinished(const ListOutcome& outcome) override;

private:
    std::FILE* m_out;
    std::FILE* m_err;
    CliWindow& m_window;
};
