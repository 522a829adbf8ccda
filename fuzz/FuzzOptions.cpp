// The command line from any bytes (arguments split at NUL): parsed or
// refused with a reason, never a crash; a plan that both the parser and the
// engine's check accept holds together.
#include <string>
#include <vector>

#include "CliOptions.h"
#include "CliPlan.h"
#include "lintrim/PlanCheck.h"

using namespace lintrim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    std::string arg;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            arg += static_cast<char>(data[i]);
            continue;
        }
        args.push_back(arg);
        arg.clear();
    }
    if (!arg.empty()) args.push_back(arg);
    const ParseResult parsed = ParseCommandLine(args);
    const CliOptions& o = parsed.options;
    if (!parsed.error.empty() || o.help || o.version) return 0;
    const RunPlan plan = PlanFor(o);
    if (CheckPlan(plan)) return 0;
    if (plan.lists.empty() || (plan.byFrequency && plan.alphabetize)) __builtin_trap();
    if (plan.minLength && plan.maxLength && *plan.minLength > *plan.maxLength) __builtin_trap();
    return 0;
}
