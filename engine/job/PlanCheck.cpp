// The rules of a plan, one table: first the choices that exclude each other,
// then the names, then the files the names reach. A rule says nothing when
// the plan keeps it, else why it does not.
#include "lintrim/PlanCheck.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include "read/FileNames.h"
#include "read/ListFormat.h"
#include "write/OutputFormat.h"

namespace lintrim {

namespace {
constexpr const char* kStandardStream = "-";
using Why = std::optional<std::string>;
using Rule = std::function<Why(const RunPlan&)>;

bool Named(const std::string& name) {
    return name != kStandardStream;
}

// The first of `others` that names the file `name` names.
Why SameAsAny(const std::string& name, const std::vector<std::string>& others) {
    if (!Named(name)) return std::nullopt;
    for (const std::string& other : others)
        if (Named(other) && NameOneFile(name, other)) return other;
    return std::nullopt;
}

// The order by length, and the files split by length, which take the lines
// shortest first and measure them as they are written.
Why Lengths(const RunPlan& plan) {
    const bool split = plan.splitByLength.has_value();
    if ((plan.byLength || split) && (plan.byFrequency || plan.alphabetize))
        return "lines ordered or split by length go shortest first, each length in file order: "
               "ordering by frequency or alphabetically does not apply";
    if (split && plan.output) return "lines split by length and one output exclude each other";
    if (split && plan.lineForm != LineForm::kAsRead)
        return "lines split by length are written as read: $HEX[..] forms made or undone would "
               "change their lengths";
    return std::nullopt;
}

// The filters by class and the change of case.
Why Classes(const RunPlan& plan) {
    constexpr uint8_t kEveryClass =
        kLowerClass | kUpperClass | kDigitClass | kSpecialClass | kHighClass;
    for (const std::vector<uint8_t>* sets : {&plan.requiredClasses, &plan.rejectedClasses})
        for (const uint8_t set : *sets)
            if (set == 0 || (set & ~kEveryClass) != 0) return "a set of classes names no class";
    if (plan.letterCase != LetterCase::kAsRead &&
        (plan.hexKey || plan.lineForm != LineForm::kAsRead))
        return "writing lines in one case and $HEX[..] lines exclude each other: the case would "
               "change the form";
    return std::nullopt;
}

Why Choices(const RunPlan& plan) {
    const bool single = plan.job == JobKind::kSingleLine;
    if (plan.byFrequency && plan.alphabetize)
        return "ordering by frequency and alphabetically exclude each other";
    if (plan.job == JobKind::kReferences && plan.references.empty())
        return "the reference job needs a reference list";
    if (!plan.references.empty() && plan.job != JobKind::kReferences)
        return "reference lists are used by the reference job only, not with lines to delete";
    if (single != !plan.singleLines.empty())
        return single ? "no line to delete given"
                      : "lines to delete are for the single-line job only";
    if (single && plan.setOperation != SetOperation::kNone)
        return "deleting lines keeps every other line: a set operation does not apply";
    if (single && plan.byFrequency)
        return "deleting lines keeps every other line: ordering by frequency does not apply";
    if (plan.setOperation == SetOperation::kOnlyInOne &&
        (!plan.MergesLists() || plan.lists.size() < 2))
        return "keeping the lines of one list only needs one output and two or more lists";
    if (plan.setOperation == SetOperation::kCommon &&
        (!plan.MergesLists() || plan.lists.size() < 2))
        return "keeping the common lines needs one output and two or more lists";
    if (plan.setOperation == SetOperation::kCascade && plan.MergesLists())
        return "a cascade rewrites each list in place: one output does not apply";
    if (plan.keepRepeats && plan.byFrequency)
        return "keeping the repeats keeps every copy in its place: ordering by frequency does not "
               "apply";
    if (plan.keepRepeats && plan.setOperation != SetOperation::kNone)
        return "keeping the repeats dedupes nothing: a set operation does not apply";
    if (plan.minLength && plan.maxLength && *plan.minLength > *plan.maxLength)
        return "the shortest length allowed is above the longest";
    if (!plan.besideSuffix.empty() && plan.MergesLists())
        return "results beside the lists and one output exclude each other";
    if (const Why why = Lengths(plan)) return why;
    if (const Why why = Classes(plan)) return why;
    if (plan.besideSuffix.find('/') != std::string::npos)
        return "the name of a result beside its list cannot hold a /";
    return std::nullopt;
}

// Fields, counts and shares of the kept lines: what they need and what they
// cannot go with.
Why Shapes(const RunPlan& plan) {
    const bool single = plan.job == JobKind::kSingleLine;
    if (plan.delimiter == '\n' || plan.delimiter == '\r')
        return "a field delimiter cannot be a line break";
    if (!plan.delimiter && (plan.keyField || plan.cutField))
        return plan.cutField ? "cutting a field out needs a delimiter"
                             : "a key field needs a delimiter";
    if (single && (plan.count || plan.limit || plan.sample || plan.cutField))
        return "deleting lines keeps every other line as it is: counts, a limit, a sample and "
               "a field cut out do not apply";
    if (plan.limit && plan.sample) return "a limit and a sample exclude each other";
    if (plan.seed && !plan.sample) return "a seed is for a sample only";
    return std::nullopt;
}

Why Names(const RunPlan& plan) {
    if (plan.lists.empty()) return "no list given";
    const auto empty = [](const std::string& name) { return name.empty(); };
    if (std::any_of(plan.lists.begin(), plan.lists.end(), empty) ||
        std::any_of(plan.references.begin(), plan.references.end(), empty) || plan.output == "" ||
        plan.removed == "" || plan.splitByLength == "")
        return "a file name is empty";
    const auto stdins = std::count(plan.lists.begin(), plan.lists.end(), kStandardStream);
    if (stdins > 0 && !plan.MergesLists()) return "standard input (-) needs one output";
    if (stdins + std::count(plan.references.begin(), plan.references.end(), kStandardStream) > 1)
        return "standard input (-) can be given once only";
    if (plan.removed == kStandardStream) return "removed lines need a file, not standard output";
    if (stdins > 0 && plan.lineEnd == LineEnd::kAsRead)
        return "line ends as read need files, not standard input (-)";
    return std::nullopt;
}

// A result in a format this build leaves out is refused before anything is read.
Why Formats(const RunPlan& plan) {
    for (const std::optional<std::string>& file : {plan.output, plan.removed}) {
        if (!file) continue;
        const ListFormat format = FormatOfNamedResult(*file);
        if (!ListFormatBuilt(format))
            return *file + ": " + FormatName(format) + " lists are not supported by this build";
    }
    return std::nullopt;
}

// A stream (a FIFO, a device) is read as it comes, once: it can be merged
// into an output or be a reference list, but a list cleaned on its own is
// replaced by a new file, which a stream cannot be; and a stream named
// twice would give its lines to the first reading only.
Why Streams(const RunPlan& plan) {
    const auto named = [](const std::string& name) { return Named(name) && NamesStream(name); };
    for (const std::string& list : plan.lists) {
        if (!named(list)) continue;
        if (!plan.MergesLists())
            return list +
                   " is not a regular file: a list rewritten in place is replaced by a new file; "
                   "a FIFO or a device can only be merged into one output or be a reference list";
        if (plan.lineEnd == LineEnd::kAsRead)
            return "line ends as read need files, not a FIFO or a device: " + list;
    }
    for (auto reference = plan.references.begin(); reference != plan.references.end(); ++reference)
        if (named(*reference))
            if (const Why other =
                    SameAsAny(*reference, {std::next(reference), plan.references.end()}))
                return *reference + " and " + *other + " are one stream, which is read once";
    return std::nullopt;
}

// One file is one list, whatever names reach it: a list cleaned twice in a
// cascade would lose every line to itself.
Why ListsOnce(const RunPlan& plan) {
    for (auto list = plan.lists.begin(); list != plan.lists.end(); ++list)
        if (const Why other = SameAsAny(*list, {std::next(list), plan.lists.end()}))
            return *list + " and " + *other + " are one file: a list is named once";
    return std::nullopt;
}

// A result beside its list must land on no file the run reads.
Why Beside(const RunPlan& plan) {
    if (plan.besideSuffix.empty()) return std::nullopt;
    for (const std::string& list : plan.lists) {
        const std::string result = ResultBeside(list, plan.besideSuffix);
        if (const Why other = SameAsAny(result, plan.lists))
            return "the result of " + list + " beside it would replace the list " + *other;
        if (const Why other = SameAsAny(result, plan.references))
            return "the result of " + list + " beside it would replace the reference list " +
                   *other;
        if (plan.removed && NameOneFile(result, *plan.removed))
            return "the result of " + list + " beside it is the file of removed lines";
    }
    return std::nullopt;
}

// No result lands on a file the run reads, but an output that is one of the
// merged lists, which replaces it as a whole.
Why Results(const RunPlan& plan) {
    for (const std::string& reference : plan.references)
        if (const Why list = SameAsAny(reference, plan.lists))
            return "a reference list is a list to clean: " + reference;
    if (plan.output)
        if (SameAsAny(*plan.output, plan.references))
            return "the output names a reference list: " + *plan.output;
    if (!plan.removed) return std::nullopt;
    if (plan.output && Named(*plan.output) && NameOneFile(*plan.removed, *plan.output))
        return "the file of removed lines is the output: " + *plan.removed;
    if (SameAsAny(*plan.removed, plan.lists) || SameAsAny(*plan.removed, plan.references))
        return "the file of removed lines is a list the run reads: " + *plan.removed;
    return std::nullopt;
}

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules{Choices, Shapes,    Names,   Formats,
                                         Streams, ListsOnce, Results, Beside};
    return rules;
}
}  // namespace

std::string ResultBeside(const std::string& list, const std::string& suffix) {
    const size_t slash = list.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = list.rfind('.');
    const size_t at = dot == std::string::npos || dot <= start ? list.size() : dot;
    return list.substr(0, at) + suffix + list.substr(at);
}

std::optional<PlanRefusal> CheckPlan(const RunPlan& plan) {
    for (const Rule& rule : Rules())
        if (const Why why = rule(plan)) return PlanRefusal{*why};
    return std::nullopt;
}

}  // namespace lintrim
