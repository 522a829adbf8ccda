// Where each stage of each job shows on the window.
#include "WindowEvents.h"

#include <cstdio>

#include "ControlIds.h"
#include "StageTexts.h"
#include "WindowRequests.h"

using namespace lintrim;

namespace {
// The status text, then what caused it in the system's words or as a
// reason. The name of the call that failed means little to a window user
// and would take the room of the cause on the status line.
std::string FailureText(const ListOutcome& outcome) {
    const std::string cause = outcome.cause.What();
    return cause.empty() ? outcome.failure : outcome.failure + " (" + cause + ")";
}
}  // namespace

template <typename Requests>
void WindowEvents::Request(Requests&& requests) {
    try {
        requests();
    } catch (const JobCancelled&) {
        m_control.Stop();
    }
}

// The single-line job reads, groups and sorts its lines only when they go
// in byte order, on the part of the scale that sorting has.
ScaleSpan WindowEvents::SpanOf(Stage stage) const {
    const bool single = m_job == JobKind::kSingleLine;
    switch (stage) {
        case Stage::kLoading:
            return single ? ScaleSpan{progress::kSorted, 500}
                          : ScaleSpan{0, progress::kReadingBase};
        case Stage::kGrouping:
            return single ? ScaleSpan{progress::kSorted + 500, 500}
                          : ScaleSpan{progress::kReadingBase, 1000};
        case Stage::kOrdering:
            return {progress::kSortingBase, progress::kRestored - progress::kSortingBase};
        case Stage::kWriting:
            break;
    }
    return {progress::kRestored, progress::kHigh - progress::kRestored};
}

void WindowEvents::ListStarted(const std::vector<std::string>& paths) {
    m_current = paths;
    Request([&] {
        m_window.SetProgressRange(0, progress::kHigh);
        m_window.SetProgressPos(0);
    });
}

void WindowEvents::StageBegun(Stage stage) {
    if (m_job == JobKind::kSingleLine && stage != Stage::kWriting) return;
    Request([&] {
        switch (stage) {
            case Stage::kLoading:
                return m_window.SetStatusText(stage_text::kCounting);
            case Stage::kGrouping:
                m_window.SetStatusText(stage_text::kReading);
                return m_window.SetProgressPos(progress::kReadingBase);
            case Stage::kOrdering:
                return;
            case Stage::kWriting:
                m_window.SetProgressPos(progress::kRestored);
                return m_window.SetStatusText(stage_text::kWriting);
        }
    });
}

void WindowEvents::Progress(const StageProgress& at) {
    Request([&] { m_window.SetProgressPos(ScalePosition(at, SpanOf(at.stage))); });
}

// The copies of every line are known (the single-line job knows its line):
// the box says the order of this list. It cannot change during the run, as
// the run has disabled it.
void WindowEvents::OrderToBeChosen() {
    Request([&] {
        const bool single = m_job == JobKind::kSingleLine;
        if (single) {
            m_window.SetStatusText(stage_text::kCounting);
            m_window.SetStatusText(stage_text::kReading);
            m_window.SetProgressPos(progress::kReadingBase);
        } else {
            m_window.SetStatusText(stage_text::kSorting);
        }
        m_window.SetProgressPos(progress::kSorted);
        m_window.SetStatusText(single ? stage_text::kFindingDupe : stage_text::kFindingDupes);
        m_window.SetProgressPos(progress::kSorted);
        const bool alphabetize = m_window.IsChecked(IDC_ALPHABETIZE);
        m_control.SetAlphabetize(alphabetize);
        if (single && alphabetize) m_window.SetStatusText(stage_text::kSorting);
        if (!single && !alphabetize) m_window.SetStatusText(stage_text::kRestoringOrder);
    });
}

void WindowEvents::ListFinished(const ListOutcome& outcome) {
    m_results.push_back(outcome);
    if (!outcome.written) return GiveWindowBack(m_window, FailureText(outcome));
    Request([&] {
        m_window.SetProgressPos(progress::kHigh);
        m_window.SetStatusText(Summary(m_job, outcome.counts, outcome.seconds, m_filtered));
    });
}

void WindowEvents::RunFinished(const RunOutcome&) {
    Request([&] { m_window.ShowResults(m_results); });
}

// "list.txt: 6 read, 3 kept, 3 removed (3 repeated)": the reasons that
// removed any line, and the reference lists' lines apart.
std::string WindowEvents::ResultsText(const std::vector<ListOutcome>& outcomes) {
    std::string text;
    for (const ListOutcome& outcome : outcomes) {
        const std::string name = outcome.paths.empty() ? std::string() : outcome.paths.front();
        text += (outcome.output.empty() ? name : outcome.output) + ": ";
        if (!outcome.written) {
            text += FailureText(outcome) + "\n";
            continue;
        }
        const ListCounts& c = outcome.counts;
        const std::pair<int64_t, const char*> reasons[] = {{c.repeats, "repeated"},
                                                           {c.referenceHits, "in references"},
                                                           {c.singleHits, "the given line"},
                                                           {c.filtered, "by length"},
                                                           {c.setHits, "by the set operation"}};
        std::string why;
        for (const auto& [count, reason] : reasons)
            if (count > 0)
                why += (why.empty() ? " (" : ", ") + std::to_string(count) + " " + reason;
        text += std::to_string(c.ListLines()) + " read, " + std::to_string(c.Kept()) + " kept, " +
                std::to_string(c.ListLines() - c.Kept()) + " removed" +
                (why.empty() ? "" : why + ")");
        if (c.referenceRead > 0)
            text += ", " + std::to_string(c.referenceRead) + " reference lines";
        text += "\n";
    }
    return text;
}

std::string WindowEvents::StoppedText() const {
    const std::string name = m_current.empty() ? std::string() : m_current.front();
    return "stopped: " + name.substr(name.rfind('/') + 1) + " left as it was";
}

// The reference job's summary has no commas: "12 read 3 dupes 0.0 s". The
// dupes are every line removed as a copy or as the given line.
std::string WindowEvents::Summary(JobKind job, const ListCounts& counts, float seconds,
                                  bool filtered) {
    const auto read = static_cast<long long>(counts.read);
    const auto dupes = static_cast<long long>(counts.repeats + counts.referenceRepeats +
                                              counts.setRepeats + counts.singleHits);
    const auto left = static_cast<long long>(counts.filtered);
    const auto time = static_cast<double>(seconds);
    const bool plain = job != JobKind::kReferences;
    char text[128];
    if (filtered)
        std::snprintf(text, sizeof text,
                      plain ? "%lld read, %lld dupes, %lld filtered, %.1f s"
                            : "%lld read %lld dupes %lld filtered %.1f s",
                      read, dupes, left, time);
    else
        std::snprintf(text, sizeof text,
                      plain ? "%lld read, %lld dupes, %.1f s" : "%lld read %lld dupes %.1f s", read,
                      dupes, time);
    return text;
}
