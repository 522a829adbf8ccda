// The reference-list job. The reference lists are taken from the selection
// once, when the run starts: a choice made while it runs stays in the
// selection for the next run and never changes this one.
#include "RefListJob.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "ControlIds.h"
#include "DedupeStages.h"
#include "JobFailure.h"
#include "JobFrame.h"
#include "StatusTexts.h"

namespace {
class RefListSteps : public JobSteps {
public:
    bool HasSelection(JobWindow& window) override {
        window.AccessSelection([&] {
            const auto count = static_cast<size_t>(std::max(window.m_refCount, 0));
            const size_t taken = std::min(count, window.m_refFiles.size());
            m_refPaths.assign(window.m_refFiles.begin(), window.m_refFiles.begin() + taken);
        });
        if (!m_refPaths.empty()) return true;
        window.SetCaptionText(IDC_REF_CAPTION, status::kChooseNew);
        return false;
    }

    void ReadOptionsBeforeLock(JobOptions& options) override {
        m_byFrequency = options.ByFrequency();
    }

    // Every reference list must open before anything of the input list is
    // done; none holds a descriptor until it is read, however many there are.
    void PrepareList(JobWindow&) override {
        m_refLists.clear();
        for (const std::string& path : m_refPaths) {
            FailureCause why;
            std::optional<InputList> list = InputList::OpenReference(path, &why);
            if (!list) throw JobFailure(status::kInvalidRefFile, why);
            list->Release();
            m_refLists.push_back(std::move(*list));
        }
    }

    ListCounts ProcessList(JobWindow& window, ListTask& task) override {
        std::vector<ListSource> sources = InputSources(task);
        for (InputList& reference : m_refLists)
            sources.push_back({&reference, status::kInvalidRefFile, true});
        const ListCounts counts = RunDedupeStages(window, task, sources, m_byFrequency);
        m_refLists.clear();
        return counts;
    }

    // Pieces with no commas between them: "12 read 3 dupes 0.0 s".
    std::string Summary(const ListCounts& counts, float seconds, bool filtered) const override {
        char text[128];
        const auto read = static_cast<long long>(counts.read);
        const auto dupes = static_cast<long long>(counts.dupes);
        if (filtered)
            std::snprintf(text, sizeof text, "%lld read %lld dupes %lld filtered %.1f s", read,
                          dupes, static_cast<long long>(counts.filtered),
                          static_cast<double>(seconds));
        else
            std::snprintf(text, sizeof text, "%lld read %lld dupes %.1f s", read, dupes,
                          static_cast<double>(seconds));
        return text;
    }

    void EndRun(JobWindow& window) override {
        window.AccessSelection([&] {
            window.m_inputFiles.clear();
            const size_t used = std::min(m_refPaths.size(), window.m_refFiles.size());
            window.m_refFiles.erase(window.m_refFiles.begin(), window.m_refFiles.begin() + used);
            window.m_refCount = static_cast<int>(window.m_refFiles.size());
            window.m_inputCount = 0;
        });
        window.EnableControl(IDC_GO, true);
        window.EnableControl(IDC_BROWSE_INPUT, true);
        window.SetChecked(IDC_USE_REF, false);
        window.EnableControl(IDC_BROWSE_REF, false);
        window.SetCaptionText(IDC_REF_CAPTION, status::kChooseNew);
        window.EnableControl(IDC_DEL_SINGLE, true);
        window.SetSingleTextReadOnly(false);
        window.EnableControl(IDC_USE_REF, true);
        window.EnableControl(IDC_BY_FREQUENCY, true);
        window.EnableControl(IDC_ALPHABETIZE, true);
        window.AcceptDroppedFiles(true);
    }

private:
    bool m_byFrequency = false;
    std::vector<std::string> m_refPaths;
    std::vector<InputList> m_refLists;
};
}  // namespace

int RefListJob(JobWindow& window) {
    RefListSteps steps;
    return RunWindowJob(window, steps);
}

RunOutcome RefListJob(JobWindow& window, JobOptions& options, ResultSink& sink) {
    RefListSteps steps;
    return RunJob(window, options, &sink, steps);
}
