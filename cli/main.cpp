// lintrim-cli: runs one job over the lists named on the command line and
// reports each list from the results channel.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "CliOptions.h"
#include "CliPlan.h"
#include "CliProgress.h"
#include "CliReport.h"
#include "HeapArenas.h"
#include "HugePages.h"
#include "ProgramStart.h"
#include "lintrim/PlanCheck.h"
#include "lintrim/RunEvents.h"

using namespace lintrim;

namespace {

// The bytes the largest list of the run takes with its reference lists, or
// all lists together when they are merged into one output: what decides
// whether huge pages pay. 0 when unknown (standard input).
uint64_t LargestRunBytes(const CliOptions& options) {
    const auto bytes = [](const std::string& path) {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(path, error);
        return error ? uint64_t{0} : static_cast<uint64_t>(size);
    };
    uint64_t refs = 0, largest = 0, all = 0;
    for (const std::string& ref : options.refFiles) refs += bytes(ref);
    for (const std::string& list : options.lists) {
        largest = std::max(largest, bytes(list));
        all += bytes(list);
    }
    return refs + (options.output ? all : largest);
}

// More threads than processors only take turns; more memory than the
// system has available is taken from the page cache and swap, or kills the run.
void WarnOfWhatTheMachineLacks(const CliOptions& options) {
    if (options.threads > Processors())
        std::fprintf(stderr,
                     "lintrim-cli: warning: -j %u is more threads than the %u processors here; "
                     "the run is slower for it\n",
                     options.threads, Processors());
    const uint64_t available = AvailableMemory();
    if (available > 0 && options.memory > available)
        std::fprintf(stderr,
                     "lintrim-cli: warning: --memory %llu MiB is more than the %llu MiB the "
                     "system has available; the run may swap or be killed\n",
                     static_cast<unsigned long long>(options.memory >> 20),
                     static_cast<unsigned long long>(available >> 20));
}

int Misused(const std::string& reason) {
    std::fprintf(stderr, "lintrim-cli: %s\n%s", reason.c_str(), UsageText().c_str());
    return kExitUsage;
}
}  // namespace

int main(int argc, char** argv) {
    program_start::UseBinaryStreams();
    const ParseResult parsed = ParseCommandLine(program_start::Arguments(argc, argv));
    if (!parsed.error.empty()) return Misused(parsed.error);
    const CliOptions& options = parsed.options;
    StartWithHugePages(argv, options.memory, LargestRunBytes(options));
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::puts("lintrim-cli " LINTRIM_VERSION);
        return kExitOk;
    }
    const RunPlan plan = PlanFor(options);
    // A plan the engine refuses is a usage error, told before anything starts.
    if (const std::optional<PlanRefusal> refusal = CheckPlan(plan)) return Misused(refusal->reason);
    program_start::RemoveTemporariesOnStop();
    LimitHeapArenas(options.memory);
    CliProgress progress(stderr, !options.quiet && ::isatty(STDERR_FILENO));
    // With the result on standard output, the summaries go beside it.
    CliReport report(options.output == "-" ? stderr : stdout, stderr, progress,
                     {.json = options.json,
                      .dryRun = options.dryRun,
                      .stats = options.stats,
                      .silent = options.silent,
                      .output = options.output.value_or(""),
                      .setOperation = options.setOperation});
    WarnOfWhatTheMachineLacks(options);
    const RunOutcome outcome = RunLists(plan, report);
    // A summary that could not be printed is a failure the caller must hear of.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("lintrim-cli: standard output can't be written\n", stderr);
        return kExitListFailed;
    }
    return outcome.status == RunStatus::kDone ? kExitOk : kExitListFailed;
}
