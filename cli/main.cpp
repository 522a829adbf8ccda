// lintrim-cli: runs one job over the lists named on the command line, as the
// window would, and reports each list on standard output.
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "CliOptions.h"
#include "CliWindow.h"
#include "ControlIds.h"
#include "DedupeJob.h"
#include "RefListJob.h"
#include "RegisteredName.h"
#include "SingleLineJob.h"

namespace {
int RunJobFor(const CliOptions& options, CliWindow& window) {
    if (!options.refFiles.empty()) return RefListJob(window);
    if (options.delSingle) return SingleLineJob(window);
    return DedupeJob(window);
}

// A run stopped by a signal leaves the list as it was and no file beside it:
// the new file has no name until just before its rename, and a name it has
// at the moment of the signal is removed here. The signal is then delivered
// again with its default action, so the caller sees the usual 128 + signal.
void OnStopSignal(int signal) {
    RegisteredName::RemoveAll();
    ::raise(signal);
}

void RemoveTemporariesOnStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the caller ignores (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void SetUp(const CliOptions& options, CliWindow& window) {
    window.SetChecked(IDC_BY_FREQUENCY, options.byFrequency);
    window.SetChecked(IDC_ALPHABETIZE, options.alphabetize);
    window.SetChecked(IDC_USE_REF, !options.refFiles.empty());
    window.SetChecked(IDC_DEL_SINGLE, options.delSingle.has_value());
    window.SetSingleText(options.delSingle.value_or(""));
    window.ChooseLists(options.lists);
    window.m_refFiles = options.refFiles;
    window.m_refCount = static_cast<int>(options.refFiles.size());
}
}  // namespace

int main(int argc, char** argv) {
    const ParseResult parsed = ParseCommandLine({argv + 1, argv + argc});
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "lintrim-cli: %s\n%s", parsed.error.c_str(), UsageText().c_str());
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::puts("lintrim-cli " LINTRIM_VERSION);
        return kExitOk;
    }
    RemoveTemporariesOnStopSignals();
    CliWindow window(stdout, stderr, !options.quiet && ::isatty(STDERR_FILENO));
    SetUp(options, window);
    RunJobFor(options, window);
    const bool written = window.ReportOutcome();
    // A summary that could not be printed is a failure the caller must hear of.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("lintrim-cli: standard output can't be written\n", stderr);
        return kExitListFailed;
    }
    return written ? kExitOk : kExitListFailed;
}
