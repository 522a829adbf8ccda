// The command line from any bytes (arguments split at NUL): parsed or
// refused with a reason, never a crash; what is accepted holds together.
#include <string>
#include <vector>

#include "CliOptions.h"

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
    if (o.lists.empty() || (o.byFrequency && o.alphabetize)) __builtin_trap();
    if (o.minLength && o.maxLength && *o.minLength > *o.maxLength) __builtin_trap();
    return 0;
}
