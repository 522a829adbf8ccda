// The job frame.
#include "job/JobFrame.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <new>
#include <optional>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "load/LineCensus.h"
#include "os/ScratchFile.h"
#include "os/SystemCalls.h"
#include "os/SystemFacts.h"
#include "write/DiscardWriter.h"
#include "write/OutputFormat.h"
#include "write/ReplacementFile.h"
#include "write/StreamWriter.h"

namespace lintrim {

namespace {
using Clock = std::chrono::steady_clock;
constexpr const char* kStandardStream = "-";

// The file a path names, if any.
std::optional<FileIdentity> ExistingFile(const std::string& path) {
    if (path == kStandardStream) return std::nullopt;
    return FileIdentity::OfPath(path);
}

float SecondsSince(Clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return static_cast<float>(ms.count()) * 0.001f;
}

std::function<std::unique_ptr<ListWriter>()> DeviceOutput(const std::string& path) {
    auto device =
        std::make_shared<FileHandle>(Sys().Open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC, 0));
    if (!device->IsOpen())
        throw JobFailure(status::kOutputCantBeOpened, FailureCause::FromErrno("open"), path);
    return [device, path] { return std::make_unique<StreamWriter>(device->Get(), path); };
}

std::function<std::unique_ptr<ListWriter>()> Discarded() {
    return [] { return std::make_unique<DiscardWriter>(); };
}

// One run: the lists in turn, or all of them into one output.
class Frame {
public:
    Frame(const RunPlan& plan, const RunContext& context, RunEvents& events, RunControl* control,
          JobSteps& steps)
        : m_plan(plan),
          m_context(context),
          m_events(events),
          m_reporter(events, control),
          m_steps(steps) {}

    RunOutcome Run();

private:
    void RunLists();
    void CheckEveryList();
    std::optional<InputList> OpenEach(const std::string& path) const;
    std::function<std::unique_ptr<ListWriter>()> EachOutput(InputList& input) const;
    bool Beside() const { return !m_plan.besideSuffix.empty(); }
    void ProcessEach();
    void ProcessMerged();
    std::optional<InputList> OpenMerged(const std::string& path,
                                        const std::optional<FileIdentity>& output);
    std::function<std::unique_ptr<ListWriter>()> MergedOutput(std::vector<InputList>& inputs);
    void RunTask(ListTask& task);
    void Failed(const std::string& text, const FailureCause& cause, const std::string& subject);

    const RunPlan& m_plan;
    const RunContext& m_context;
    RunEvents& m_events;
    RunReporter m_reporter;
    JobSteps& m_steps;
    Clock::time_point m_start;
    RunOutcome m_outcome;
    std::vector<std::string> m_current;  // the lists being handled
    std::unique_ptr<RemovedLinesFile> m_removed;
};

RunOutcome Frame::Run() {
    m_start = Clock::now();
    try {
        m_events.RunStarted();
        RunLists();
        m_outcome.status = RunStatus::kDone;
    } catch (const JobFailure& failure) {
        Failed(failure.StatusText(), failure.Cause(), failure.Subject());
    } catch (const std::bad_alloc&) {
        Failed(status::kNotEnoughMemory, {}, {});
    } catch (const RunStopped&) {
        // Whatever list was being written stays as it was.
        m_outcome.status = RunStatus::kCancelled;
    }
    m_events.RunFinished(m_outcome);
    return m_outcome;
}

// The file of removed lines and a file in the chosen temporary folder are
// made before any list is read, so that a folder that refuses them stops the
// run before anything is replaced, not when a large list first spills.
void Frame::RunLists() {
    if (!m_context.tempDir.empty()) ScratchFile::Create(m_context.tempDir);
    CheckEveryList();
    if (m_plan.removed && !m_plan.dryRun)
        m_removed = std::make_unique<RemovedLinesFile>(*m_plan.removed,
                                                       FormatOfNamedResult(*m_plan.removed));
    if (m_plan.output)
        ProcessMerged();
    else
        ProcessEach();
}

// Every list is opened and checked before the first is read, as it will be
// at its turn: a list that is missing, no regular file, held by another run,
// not writable or in a folder that refuses its new file stops the run before
// any list is replaced. Each is closed again, so that a run over more lists
// than descriptors still works; one that changes before its turn is taken
// as it is then. Lists merged into one output are all opened before they
// are read anyway.
void Frame::CheckEveryList() {
    for (const std::string& path : m_plan.references) {
        FailureCause why;
        if (!InputList::OpenToRead(path, m_context.DecoderMemoryLimit(), &why))
            throw JobFailure(status::kInvalidRefFile, why, path);
    }
    if (m_plan.output) return;
    for (const std::string& path : m_plan.lists) {
        m_current = {path};
        const std::optional<InputList> input = OpenEach(path);
        if (m_plan.dryRun) continue;
        if (Beside())
            ReplacementFile::Create(ResultBeside(path, m_plan.besideSuffix));
        else
            ReplacementFile replacement(input->Location());
    }
}

// A list cleaned in place is locked for the run; one only read (nothing is
// written, or its result goes beside it) is not.
std::optional<InputList> Frame::OpenEach(const std::string& path) const {
    FailureCause why;
    const uint64_t limit = m_context.DecoderMemoryLimit();
    std::optional<InputList> input = m_plan.dryRun || Beside()
                                         ? InputList::OpenToRead(path, limit, &why)
                                         : InputList::OpenToReplace(path, limit, &why);
    if (!input) throw JobFailure(status::kInvalidInputFile, why);
    return input;
}

// The result of a list cleaned on its own: over the list, or beside it.
std::function<std::unique_ptr<ListWriter>()> Frame::EachOutput(InputList& input) const {
    if (!Beside())
        return [&input] {
            return WriterIn(FormatOfCleanedList(input),
                            std::make_unique<ReplacementFile>(input.Location()));
        };
    return [&input, name = ResultBeside(input.Name(), m_plan.besideSuffix)] {
        return WriterIn(FormatOfCleanedList(input), ReplacementFile::Create(name));
    };
}

void Frame::ProcessEach() {
    for (const std::string& path : m_plan.lists) {
        m_current = {path};
        m_steps.PrepareList(m_context);
        std::optional<InputList> input = OpenEach(path);
        ListTask task{{&*input}, path, m_plan, m_context, EachOutput(*input), m_removed.get()};
        RunTask(task);
    }
}

void Frame::ProcessMerged() {
    m_current = m_plan.lists;
    if (m_current.empty()) return;
    m_steps.PrepareList(m_context);
    const std::string& output = *m_plan.output;
    const std::optional<FileIdentity> existing = ExistingFile(output);
    std::vector<InputList> inputs;
    inputs.reserve(m_current.size());
    for (const std::string& path : m_current) inputs.push_back(*OpenMerged(path, existing));
    ListTask task{{},
                  output == kStandardStream ? m_current.front() : output,
                  m_plan,
                  m_context,
                  m_plan.dryRun
                      ? Discarded()
                      : std::function<std::unique_ptr<ListWriter>()>(
                            [format = FormatOfNamedResult(output), open = MergedOutput(inputs)] {
                                return WriterIn(format, open());
                            }),
                  m_removed.get()};
    for (InputList& input : inputs) task.inputs.push_back(&input);
    RunTask(task);
}

// Standard input is copied aside first when it is to be read twice. Every
// list is checked here, before any is read; only the list that is also the
// output stays open, for its lock and the check before its replacement.
std::optional<InputList> Frame::OpenMerged(const std::string& path,
                                           const std::optional<FileIdentity>& output) {
    if (path == kStandardStream)
        return InputList::StandardInput(
            m_plan.removed ? std::optional(m_context.StreamTempFolder()) : std::nullopt,
            m_context.DecoderMemoryLimit());
    FailureCause why;
    std::optional<InputList> input =
        InputList::OpenToRead(path, m_context.DecoderMemoryLimit(), &why);
    if (!input) throw JobFailure(status::kInvalidInputFile, why, path);
    const FileIdentity& file = input->Location().Identity();
    if (!output || file.device != output->device || file.inode != output->inode) input->Release();
    return input;
}

// An output that is one of the inputs, under any of its names, replaces
// that list as a list is replaced (locked, and checked before the rename)
// under the name given for the output. Another existing file is locked
// from the start as a list is; a character device (/dev/null) is written
// as it is.
std::function<std::unique_ptr<ListWriter>()> Frame::MergedOutput(std::vector<InputList>& inputs) {
    const std::string output = *m_plan.output;
    if (output == kStandardStream)
        return [] { return std::make_unique<StreamWriter>(STDOUT_FILENO); };
    FailureCause why;
    std::optional<ListLocation> found = ListLocation::Open(output, ListLocation::Lock::kNone, &why);
    if (!found && system_facts::IsCharacterDevice(output)) return DeviceOutput(output);
    if (!found && why.error != ENOENT) throw JobFailure(status::kOutputCantBeOpened, why, output);
    if (!found) return [output] { return ReplacementFile::Create(output); };
    auto target = std::make_shared<ListLocation>(std::move(*found));
    for (InputList& input : inputs)
        if (input.HasLocation() && input.Location().Identity().SameFile(target->Identity())) {
            input.Location().TakeLock(output);
            return [target, output] { return std::make_unique<ReplacementFile>(*target, output); };
        }
    target->TakeLock(output);
    return [target, output] { return ReplacementFile::Over(std::move(*target), output); };
}

void Frame::RunTask(ListTask& task) {
    if (m_plan.dryRun) task.openOutput = Discarded();
    task.lineEnd = LineEndOf(m_plan.lineEnd, task.inputs);
    m_events.ListStarted(m_current);
    m_reporter.StopIfAsked();
    ListCounts counts;
    try {
        counts = m_steps.ProcessList(m_reporter, task);
    } catch (const FailureAfterReplacement&) {
        // The list holds its result: its removed lines stay in their file.
        if (m_removed) m_removed->Confirm();
        throw;
    } catch (...) {
        if (m_removed) m_removed->Withdraw();
        throw;
    }
    if (m_removed) m_removed->Confirm();
    ++m_outcome.listsWritten;
    m_events.ListFinished(
        {m_current, m_plan.output.value_or(""), true, counts, SecondsSince(m_start), {}, {}});
    m_reporter.StopIfAsked();
}

void Frame::Failed(const std::string& text, const FailureCause& cause, const std::string& subject) {
    m_outcome.status = RunStatus::kFailed;
    ListOutcome outcome;
    outcome.paths = subject.empty() ? m_current : std::vector<std::string>{subject};
    outcome.output = m_plan.output.value_or("");
    outcome.seconds = SecondsSince(m_start);
    outcome.failure = text;
    outcome.cause = cause;
    m_events.ListFinished(outcome);
}
}  // namespace

RunOutcome RunJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                  RunControl* control, JobSteps& steps) {
    return Frame(plan, context, events, control, steps).Run();
}

}  // namespace lintrim
