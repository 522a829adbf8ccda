// The command line of lintrim-cli: one table of options from which the
// parser, --help and the man page are made.
#pragma once

#include <cstdint>

#include <optional>
#include <string>
#include <vector>
#include "lintrim/RunPlan.h"

struct CliOptions {
    bool byFrequency = false;
    bool alphabetize = false;
    bool quiet = false;
    bool silent = false;
    bool help = false;
    bool version = false;
    bool lf = false;  // the default, accepted for scripts that name it
    bool crlf = false;
    bool dryRun = false;
    bool json = false;
    bool stats = false;
    lintrim::SetOperation setOperation = lintrim::SetOperation::kNone;
    int setOperations = 0;  // how many were given: one at most
    bool hex = false;
    bool ignoreCase = false;
    bool encodeHex = false;
    bool decodeHex = false;
    std::vector<std::string> refFiles;
    std::vector<std::string> delSingle;  // repeatable
    std::optional<std::string> output;
    std::optional<std::string> removed;
    std::optional<uint64_t> minLength;
    std::optional<uint64_t> maxLength;
    uint64_t memory = 0;   // bytes; 0: the engine's default
    unsigned threads = 0;  // 0: one per core
    std::string tempDir;
    std::vector<std::string> lists;

    // Filtering without deduping, lengths, classes, lines in one list only.
    bool keepRepeats = false;
    bool byLength = false;
    std::optional<std::string> splitByLength;
    bool chars = false;
    bool printable = false;
    lintrim::LetterCase letterCase = lintrim::LetterCase::kAsRead;
    int letterCases = 0;  // how many were given: one at most
    std::vector<uint8_t> requiredClasses;
    std::vector<uint8_t> rejectedClasses;
    // Fields, counts, a share of the kept lines, trimming.
    std::optional<char> delimiter;
    std::optional<uint32_t> keyField;  // kLastField: the last
    bool cutField = false;
    bool count = false;
    std::optional<uint64_t> limit;
    std::optional<uint64_t> sample;
    std::optional<uint64_t> seed;
    bool trim = false;
};

// Exit codes, shown in --help and the README.
enum CliExit : int { kExitOk = 0, kExitListFailed = 1, kExitUsage = 2 };

struct ParseResult {
    CliOptions options;
    std::string error;  // empty when the command line is usable
};

// Parses the command line and checks what only the command line can get
// wrong (an unknown option, a value that is no number, two options that say
// opposite things); the engine checks the plan made of it.
ParseResult ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();
std::string HelpText();
// The man page lintrim-cli.1, in roff.
std::string ManPage(const std::string& version);
// The bash completion script for lintrim-cli.
std::string CompletionScript();
