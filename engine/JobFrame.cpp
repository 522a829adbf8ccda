// The job frame.
#include "JobFrame.h"

#include <chrono>
#include <cstdio>
#include <new>
#include <optional>

#include "ControlIds.h"
#include "JobFailure.h"
#include "ProgressScale.h"
#include "StatusTexts.h"

namespace {
using Clock = std::chrono::steady_clock;

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

float SecondsSince(Clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return static_cast<float>(ms.count()) * 0.001f;
}

void ProcessLists(JobWindow& window, JobSteps& steps, Clock::time_point start) {
    for (int i = 0;; ++i) {
        const std::optional<std::string> path = InputPath(window, i);
        if (!path) return;
        steps.PrepareList(window);
        std::optional<InputList> input = InputList::Open(*path);
        if (!input) throw JobFailure(status::kInvalidInputFile);
        window.SetProgressRange(0, progress::kHigh);
        window.SetProgressPos(0);
        const ListCounts counts = steps.ProcessList(window, *input, *path);
        window.SetProgressPos(progress::kHigh);
        window.SetStatusText(steps.Summary(counts, SecondsSince(start)));
    }
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
}  // namespace

std::string JobSteps::Summary(const ListCounts& counts, float seconds) const {
    char text[96];
    std::snprintf(text, sizeof text, "%lld read, %lld dupes, %.1f s",
                  static_cast<long long>(counts.read), static_cast<long long>(counts.dupes),
                  static_cast<double>(seconds));
    return text;
}

int RunJob(JobWindow& window, JobSteps& steps) {
    try {
        if (!steps.HasSelection(window)) return -1;
        const Clock::time_point start = Clock::now();
        steps.ReadOptionsBeforeLock(window);
        LockControls(window);
        steps.ReadOptionsAfterLock(window);
        ProcessLists(window, steps, start);
        steps.EndRun(window);
    } catch (const JobFailure& failure) {
        GiveWindowBack(window, failure.StatusText());
    } catch (const std::bad_alloc&) {
        GiveWindowBack(window, status::kNotEnoughMemory);
    } catch (const JobCancelled&) {
        // The window has gone; whatever list was being written stays as it was.
    }
    return 0;
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
