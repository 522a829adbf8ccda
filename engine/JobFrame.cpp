// The job frame.
#include "JobFrame.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <new>
#include <optional>

#include "ControlIds.h"
#include "EngineSettings.h"
#include "JobFailure.h"
#include "ProgressScale.h"
#include "ReplacementFile.h"
#include "ScratchFile.h"
#include "StatusTexts.h"
#include "StreamWriter.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr const char* kStandardStream = "-";

// Path i of the selection, or nothing past the last chosen list. A count
// that disagrees with its list is a broken selection, reported as such.
std::optional<std::string> InputPath(JobWindow& window, int i) {
    std::optional<std::string> path;
    bool broken = false;
    window.AccessSelection([&] {
        if (i >= window.m_inputCount) return;
        if (static_cast<size_t>(i) >= window.m_inputFiles.size())
            broken = true;
        else
            path = window.m_inputFiles[static_cast<size_t>(i)];
    });
    if (broken) throw JobFailure(status::kInvalidInputFile);
    return path;
}

std::vector<std::string> AllInputPaths(JobWindow& window) {
    std::vector<std::string> paths;
    while (std::optional<std::string> path = InputPath(window, static_cast<int>(paths.size())))
        paths.push_back(std::move(*path));
    return paths;
}

// The file a path names, if any.
std::optional<FileIdentity> ExistingFile(const std::string& path) {
    struct stat info {};
    if (path == kStandardStream || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity::Of(info);
}

float SecondsSince(Clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return static_cast<float>(ms.count()) * 0.001f;
}

// Any failure ends the run with go, the input chooser and dropping given
// back, so a new press can run the same lists again.
void GiveWindowBack(JobWindow& window, const std::string& statusText) {
    try {
        window.EnableControl(IDC_GO, true);
        window.EnableControl(IDC_BROWSE_INPUT, true);
        window.SetStatusText(statusText);
        window.AcceptDroppedFiles(true);
    } catch (const JobCancelled&) {
    }
}

// One run: the lists in turn, or all of them into one output.
class Frame {
public:
    Frame(JobWindow& window, JobOptions& options, ResultSink* sink, JobSteps& steps)
        : m_window(window),
          m_options(options),
          m_plan(options.Plan()),
          m_sink(sink),
          m_steps(steps) {}

    RunOutcome Run();

private:
    void RunLocked();
    void ProcessEach();
    void ProcessMerged();
    std::optional<InputList> OpenMerged(const std::string& path,
                                        const std::optional<FileIdentity>& output);
    std::function<std::unique_ptr<ListWriter>()> MergedOutput(std::vector<InputList>& inputs);
    void RunTask(ListTask& task);
    void Failed(const std::string& text, const FailureCause& cause, const std::string& subject);
    void CommitRemoved();

    JobWindow& m_window;
    JobOptions& m_options;
    const RunPlan& m_plan;
    ResultSink* m_sink;
    JobSteps& m_steps;
    Clock::time_point m_start;
    RunOutcome m_outcome;
    std::vector<std::string> m_current;  // the lists being handled
    std::unique_ptr<ReplacementFile> m_removed;
    std::optional<StagedLines> m_stage;
};

RunOutcome Frame::Run() {
    try {
        if (!m_steps.HasSelection(m_window)) return m_outcome;
        m_start = Clock::now();
        m_steps.ReadOptionsBeforeLock(m_options);
        LockControls(m_window);
        m_steps.ReadOptionsAfterLock(m_window, m_options);
        RunLocked();
        m_steps.EndRun(m_window);
        m_outcome.status = RunStatus::kDone;
    } catch (const JobFailure& failure) {
        Failed(failure.StatusText(), failure.Cause(), failure.Subject());
    } catch (const std::bad_alloc&) {
        Failed(status::kNotEnoughMemory, {}, {});
    } catch (const JobCancelled&) {
        // The window has gone; whatever list was being written stays as it was.
        m_outcome.status = RunStatus::kCancelled;
    }
    return m_outcome;
}

// The file of removed lines and a file in the chosen temporary folder are
// made before any list is read, so that a folder that refuses them stops the
// run before anything is replaced, not when a large list first spills.
void Frame::RunLocked() {
    if (!Settings().tempDir.empty()) ScratchFile::Create(Settings().tempDir);
    if (m_plan.removed) {
        m_removed = ReplacementFile::Create(*m_plan.removed);
        m_stage.emplace(TempFolderFor(*m_plan.removed));
    }
    if (m_plan.output)
        ProcessMerged();
    else
        ProcessEach();
    if (m_removed) std::exchange(m_removed, nullptr)->Commit();
}

void Frame::ProcessEach() {
    for (int i = 0;; ++i) {
        const std::optional<std::string> path = InputPath(m_window, i);
        if (!path) return;
        m_current = {*path};
        m_steps.PrepareList(m_window);
        FailureCause why;
        std::optional<InputList> input = InputList::Open(*path, &why);
        if (!input) throw JobFailure(status::kInvalidInputFile, why);
        ListTask task{{&*input},
                      *path,
                      m_options,
                      [&] { return std::make_unique<ReplacementFile>(input->Location()); },
                      m_stage ? &*m_stage : nullptr};
        RunTask(task);
    }
}

void Frame::ProcessMerged() {
    m_current = AllInputPaths(m_window);
    if (m_current.empty()) return;
    m_steps.PrepareList(m_window);
    const std::string& output = *m_plan.output;
    const std::optional<FileIdentity> existing = ExistingFile(output);
    std::vector<InputList> inputs;
    inputs.reserve(m_current.size());
    for (const std::string& path : m_current) inputs.push_back(*OpenMerged(path, existing));
    ListTask task{{},
                  output == kStandardStream ? m_current.front() : output,
                  m_options,
                  MergedOutput(inputs),
                  m_stage ? &*m_stage : nullptr};
    for (InputList& input : inputs) task.inputs.push_back(&input);
    RunTask(task);
}

// Standard input is copied aside first when it is to be read twice. Every
// list is checked here, before any is read; only the list that is also the
// output stays open, for its lock and the check before its replacement.
std::optional<InputList> Frame::OpenMerged(const std::string& path,
                                           const std::optional<FileIdentity>& output) {
    if (path == kStandardStream)
        return InputList::StandardInput(m_plan.removed ? std::optional(StreamTempFolder())
                                                       : std::nullopt);
    FailureCause why;
    std::optional<InputList> input = InputList::OpenReference(path, &why);
    if (!input) throw JobFailure(status::kInvalidInputFile, why, path);
    const FileIdentity& file = input->Location().Identity();
    if (!output || file.device != output->device || file.inode != output->inode) input->Release();
    return input;
}

// An output that is one of the inputs replaces that list as a list is
// replaced: locked, and checked before the rename.
std::function<std::unique_ptr<ListWriter>()> Frame::MergedOutput(std::vector<InputList>& inputs) {
    const std::string output = *m_plan.output;
    if (output == kStandardStream)
        return [] { return std::make_unique<StreamWriter>(STDOUT_FILENO); };
    struct stat info {};
    if (::stat(output.c_str(), &info) == 0)
        for (InputList& input : inputs)
            if (input.HasLocation() && input.Location().Identity().device == info.st_dev &&
                input.Location().Identity().inode == info.st_ino) {
                input.Location().TakeLock();
                const ListLocation* list = &input.Location();
                return [list, output] { return std::make_unique<ReplacementFile>(*list, output); };
            }
    return [output] { return ReplacementFile::Create(output); };
}

void Frame::RunTask(ListTask& task) {
    m_window.SetProgressRange(0, progress::kHigh);
    m_window.SetProgressPos(0);
    const ListCounts counts = m_steps.ProcessList(m_window, task);
    m_window.SetProgressPos(progress::kHigh);
    const float seconds = SecondsSince(m_start);
    const std::string summary = m_steps.Summary(counts, seconds, m_plan.HasLengthFilter());
    m_window.SetStatusText(summary);
    if (m_stage) m_stage->MoveTo(*m_removed);  // the list's result is in place
    ++m_outcome.listsWritten;
    if (m_sink)
        m_sink->ListFinished(
            {m_current, m_plan.output.value_or(""), true, counts, seconds, summary, {}, {}});
}

void Frame::Failed(const std::string& text, const FailureCause& cause, const std::string& subject) {
    GiveWindowBack(m_window, text);
    m_outcome.status = RunStatus::kFailed;
    if (m_sink) {
        ListOutcome outcome;
        outcome.paths = subject.empty() ? m_current : std::vector<std::string>{subject};
        outcome.output = m_plan.output.value_or("");
        outcome.seconds = SecondsSince(m_start);
        outcome.failure = text;
        outcome.cause = cause;
        m_sink->ListFinished(outcome);
    }
    CommitRemoved();
}

// The removed lines of the lists already replaced are kept.
void Frame::CommitRemoved() {
    if (!m_removed || m_outcome.listsWritten == 0) return;
    try {
        std::exchange(m_removed, nullptr)->Commit();
    } catch (const JobFailure& failure) {
        if (m_sink)
            m_sink->ListFinished({{failure.Subject()},
                                  {},
                                  false,
                                  {},
                                  SecondsSince(m_start),
                                  {},
                                  failure.StatusText(),
                                  failure.Cause()});
    }
}
}  // namespace

std::string JobSteps::Summary(const ListCounts& counts, float seconds, bool filtered) const {
    char text[128];
    if (filtered)
        std::snprintf(text, sizeof text, "%lld read, %lld dupes, %lld filtered, %.1f s",
                      static_cast<long long>(counts.read), static_cast<long long>(counts.dupes),
                      static_cast<long long>(counts.filtered), static_cast<double>(seconds));
    else
        std::snprintf(text, sizeof text, "%lld read, %lld dupes, %.1f s",
                      static_cast<long long>(counts.read), static_cast<long long>(counts.dupes),
                      static_cast<double>(seconds));
    return text;
}

RunOutcome RunJob(JobWindow& window, JobOptions& options, ResultSink* sink, JobSteps& steps) {
    return Frame(window, options, sink, steps).Run();
}

int RunWindowJob(JobWindow& window, JobSteps& steps) {
    WindowOptions options(window);
    return RunJob(window, options, nullptr, steps).status == RunStatus::kNothingChosen ? -1 : 0;
}

bool HasInputLists(JobWindow& window) {
    int count = 0;
    window.AccessSelection([&] { count = window.m_inputCount; });
    if (count > 0) return true;
    window.SetCaptionText(IDC_INPUT_CAPTION, status::kChooseNewFiles);
    return false;
}

void LockControls(JobWindow& window) {
    window.EnableControl(IDC_GO, false);
    window.EnableControl(IDC_STATUS, true);
    window.EnableControl(IDC_BROWSE_INPUT, false);
    window.EnableControl(IDC_USE_REF, false);
    window.EnableControl(IDC_DEL_SINGLE, false);
    window.SetSingleTextReadOnly(true);
    window.EnableControl(IDC_ALPHABETIZE, false);
    window.EnableControl(IDC_BY_FREQUENCY, false);
    window.AcceptDroppedFiles(false);
}

void UnlockControls(JobWindow& window, bool goFirst) {
    window.AccessSelection([&] {
        window.m_inputFiles.clear();
        window.m_inputCount = 0;
    });
    if (goFirst) window.EnableControl(IDC_GO, true);
    window.EnableControl(IDC_BROWSE_INPUT, true);
    window.EnableControl(IDC_USE_REF, true);
    window.EnableControl(IDC_BY_FREQUENCY, true);
    window.EnableControl(IDC_DEL_SINGLE, true);
    window.SetSingleTextReadOnly(false);
    window.EnableControl(IDC_ALPHABETIZE, true);
    if (!goFirst) window.EnableControl(IDC_GO, true);
    window.AcceptDroppedFiles(true);
}
