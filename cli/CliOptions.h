// The command line of lintrim-cli: one table of options from which both the
// parser and --help are made.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    bool byFrequency = false;
    bool alphabetize = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> refFiles;
    std::optional<std::string> delSingle;
    std::vector<std::string> lists;
};

// Exit codes, shown in --help and the README.
enum CliExit : int { kExitOk = 0, kExitListFailed = 1, kExitUsage = 2 };

struct ParseResult {
    CliOptions options;
    std::string error;  // empty when the command line is usable
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();
std::string HelpText();
