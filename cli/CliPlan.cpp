#include "CliPlan.h"

using namespace lintrim;

RunPlan PlanFor(const CliOptions& options) {
    RunPlan plan;
    plan.job = !options.refFiles.empty()    ? JobKind::kReferences
               : !options.delSingle.empty() ? JobKind::kSingleLine
                                            : JobKind::kDedupe;
    plan.lists = options.lists;
    plan.references = options.refFiles;
    plan.singleLines = options.delSingle;
    plan.byFrequency = options.byFrequency;
    plan.alphabetize = options.alphabetize;
    plan.hexKey = options.hex;
    plan.ignoreCase = options.ignoreCase;
    plan.lineForm = options.encodeHex   ? LineForm::kHexEncoded
                    : options.decodeHex ? LineForm::kHexDecoded
                                        : LineForm::kAsRead;
    plan.output = options.output;
    plan.lineEnd = options.crlf ? LineEnd::kCrLf : LineEnd::kLf;
    plan.minLength = options.minLength;
    plan.maxLength = options.maxLength;
    plan.removed = options.removed;
    plan.memoryBudget = options.memory;
    plan.tempDir = options.tempDir;
    plan.threads = options.threads;
    plan.dryRun = options.dryRun;
    plan.stats = options.stats;
    plan.setOperation = options.setOperation;
    // Filtering without deduping, lengths, classes, lines in one list only.
    plan.keepRepeats = options.keepRepeats;
    plan.byLength = options.byLength;
    plan.splitByLength = options.splitByLength;
    plan.lengthInChars = options.chars;
    plan.printableOnly = options.printable;
    plan.letterCase = options.letterCase;
    plan.requiredClasses = options.requiredClasses;
    plan.rejectedClasses = options.rejectedClasses;
    plan.delimiter = options.delimiter;
    plan.keyField = options.keyField;
    plan.cutField = options.cutField;
    plan.count = options.count;
    plan.limit = options.limit;
    plan.sample = options.sample;
    plan.seed = options.seed;
    plan.trim = options.trim;
    return plan;
}
