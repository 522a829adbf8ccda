// Printing outcomes: "LIST: summary" and "FILE: failure (operation: cause)",
// the operation left out where no call failed. A merged run is named after
// its output, unless its failure concerns one file.
#include "CliReport.h"

#include <string>

void CliReport::ListFinished(const ListOutcome& outcome) {
    m_progress.Clear();
    std::string name = outcome.paths.empty() ? std::string("lintrim-cli") : outcome.paths.front();
    if (outcome.written) {
        if (!outcome.output.empty()) name = outcome.output;
        std::fprintf(m_out, "%s: %s\n", name.c_str(), outcome.summary.c_str());
        std::fflush(m_out);
        return;
    }
    if (outcome.paths.size() > 1 && !outcome.output.empty()) name = outcome.output;
    const std::string cause = outcome.cause.Text();
    std::fprintf(m_err, "%s: %s%s\n", name.c_str(), outcome.failure.c_str(),
                 cause.empty() ? "" : (" (" + cause + ")").c_str());
}
