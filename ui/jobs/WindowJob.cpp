// The window's jobs over the engine's run.
#include "WindowJob.h"

#include <algorithm>
#include <optional>
#include <string>

#include "ControlIds.h"
#include "WindowEvents.h"
#include "WindowRequests.h"

using namespace lintrim;

namespace {
constexpr const char* kChooseNewFiles = "choose new file(s)";
constexpr const char* kChooseNew = "choose new";
constexpr const char* kBrokenSelection =
    "Invalid input file (the chosen lists and their count disagree)";

// Thrown when the selection's count runs beyond its list.
struct BrokenSelection {};

bool HasInputLists(JobWindow& window) {
    int count = 0;
    window.AccessSelection([&] { count = window.m_inputCount; });
    if (count > 0) return true;
    window.SetCaptionText(IDC_INPUT_CAPTION, kChooseNewFiles);
    return false;
}

// The reference lists are taken from the selection once, when the run
// starts: a choice made while it runs stays for the next run.
bool HasReferenceLists(JobWindow& window, RunPlan& plan) {
    window.AccessSelection([&] {
        const auto count = static_cast<size_t>(std::max(window.m_refCount, 0));
        const size_t taken = std::min(count, window.m_refFiles.size());
        plan.references.assign(window.m_refFiles.begin(), window.m_refFiles.begin() + taken);
    });
    if (!plan.references.empty()) return true;
    window.SetCaptionText(IDC_REF_CAPTION, kChooseNew);
    return false;
}

// The chosen lists; none when the count runs beyond its list, a broken
// selection that no list of is cleaned.
std::optional<std::vector<std::string>> ChosenLists(JobWindow& window) {
    std::vector<std::string> lists;
    bool broken = false;
    window.AccessSelection([&] {
        const auto count = static_cast<size_t>(std::max(window.m_inputCount, 0));
        const size_t taken = std::min(count, window.m_inputFiles.size());
        lists.assign(window.m_inputFiles.begin(), window.m_inputFiles.begin() + taken);
        broken = count > taken;
    });
    if (broken) return std::nullopt;
    return lists;
}

// The reference lists used are dropped from the selection; the reference
// controls are reset for a new choice.
void EndReferenceRun(JobWindow& window, size_t referencesUsed) {
    window.AccessSelection([&] {
        window.m_inputFiles.clear();
        const size_t used = std::min(referencesUsed, window.m_refFiles.size());
        window.m_refFiles.erase(window.m_refFiles.begin(), window.m_refFiles.begin() + used);
        window.m_refCount = static_cast<int>(window.m_refFiles.size());
        window.m_inputCount = 0;
    });
    window.EnableControl(IDC_GO, true);
    window.EnableControl(IDC_BROWSE_INPUT, true);
    window.SetChecked(IDC_USE_REF, false);
    window.EnableControl(IDC_BROWSE_REF, false);
    window.SetCaptionText(IDC_REF_CAPTION, kChooseNew);
    window.EnableControl(IDC_DEL_SINGLE, true);
    window.SetSingleTextReadOnly(false);
    window.EnableControl(IDC_USE_REF, true);
    window.EnableControl(IDC_BY_FREQUENCY, true);
    window.EnableControl(IDC_ALPHABETIZE, true);
    window.AcceptDroppedFiles(true);
}

// What is chosen and read before the run: false when nothing was chosen.
// The frequency box is read before the lock, the line once the box holding
// it is read-only.
bool PrepareRun(JobWindow& window, RunPlan& plan) {
    const bool chosen =
        plan.job == JobKind::kReferences ? HasReferenceLists(window, plan) : HasInputLists(window);
    if (!chosen) return false;
    if (plan.job != JobKind::kSingleLine) plan.byFrequency = window.IsChecked(IDC_BY_FREQUENCY);
    LockControls(window);
    if (plan.job == JobKind::kSingleLine) {
        const std::string line = window.GetSingleText();
        plan.singleLines = {line};
        window.AccessSelection([&] { window.m_singleLine = line; });
    }
    std::optional<std::vector<std::string>> lists = ChosenLists(window);
    if (!lists) throw BrokenSelection{};
    plan.lists = std::move(*lists);
    return true;
}

void EndRun(JobWindow& window, const RunPlan& plan) {
    if (plan.job == JobKind::kReferences) return EndReferenceRun(window, plan.references.size());
    UnlockControls(window, plan.job == JobKind::kSingleLine);
}
}  // namespace

RunPlan PlanFor(JobKind job, const WindowOptions& options) {
    RunPlan plan{.job = job,
                 .hexKey = options.hexKey,
                 .ignoreCase = options.ignoreCase,
                 .besideSuffix = options.besideSuffix,
                 .lineEnd = options.lineEnd,
                 .memoryBudget = options.memoryBudget,
                 .threads = options.threads};
    if (options.minLength) plan.minLength = options.minLength;
    if (options.maxLength) plan.maxLength = options.maxLength;
    if (!options.removedFile.empty()) plan.removed = options.removedFile;
    return plan;
}

int WindowJob(JobWindow& window, JobKind job, const WindowOptions& options, RunControl* given) {
    RunPlan plan = PlanFor(job, options);
    try {
        if (!PrepareRun(window, plan)) return -1;
        // A reference run with reference lists but no list to clean only ends.
        if (plan.lists.empty()) return EndRun(window, plan), 0;
        RunControl own;
        RunControl& control = given ? *given : own;
        WindowEvents events(window, control, plan.job, plan.HasLengthFilter());
        const RunOutcome outcome = RunLists(plan, events, &control);
        if (outcome.status == RunStatus::kDone) EndRun(window, plan);
        // A plan refused touched nothing: the window is given back as after a failure.
        if (outcome.status == RunStatus::kRefused) GiveWindowBack(window, outcome.refusal);
        if (outcome.status == RunStatus::kCancelled) GiveWindowBack(window, events.StoppedText());
    } catch (const BrokenSelection&) {
        GiveWindowBack(window, kBrokenSelection);
    } catch (const JobCancelled&) {
        // The window has gone; whatever list was being written stays as it was.
    }
    return 0;
}
