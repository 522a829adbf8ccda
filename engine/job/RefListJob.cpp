// The reference-list job: the reference lists are opened again for each
// list, so that each list is cleaned against them as they are then. A
// reference that is a stream is opened once, for the first list; when more
// lists follow it is copied aside then, and each reads the copy. A cascade
// is this job with each list written added to the references.
#include "job/RefListJob.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "job/CleaningStages.h"
#include "job/JobFrame.h"
#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "read/FileNames.h"

namespace lintrim {

namespace {
class RefListSteps : public JobSteps {
public:
    explicit RefListSteps(const RunPlan& plan)
        : m_refPaths(plan.references),
          m_cascade(plan.setOperation == SetOperation::kCascade),
          m_manyLists(!plan.MergesLists() && plan.lists.size() > 1),
          m_streams(plan.references.size()) {}

    // Every reference list must open before anything of the input list is
    // done; none holds a descriptor until it is read, however many there are.
    void PrepareList(const RunContext& context) override {
        m_refLists.clear();
        for (size_t r = 0; r < m_refPaths.size(); ++r) {
            const std::string& path = m_refPaths[r];
            if (r < m_streams.size() && NamesStream(path)) {
                OpenStream(r, context);
                continue;
            }
            FailureCause why;
            std::optional<InputList> list =
                InputList::OpenToRead(path, context.DecoderMemoryLimit(), &why);
            if (!list) throw JobFailure(status::kInvalidRefFile, why, path);
            list->Release();
            m_refLists.push_back(std::move(*list));
        }
    }

    ListCounts ProcessList(RunReporter& events, ListTask& task) override {
        RefuseListAsReference(task);
        std::vector<ListSource> sources = InputSources(task);
        for (InputList& reference : m_refLists)
            sources.push_back({&reference, status::kInvalidRefFile, true});
        for (std::optional<InputList>& stream : m_streams)
            if (stream) sources.push_back({&*stream, status::kInvalidRefFile, true});
        const ListCounts counts = RunCleaningStages(events, task, sources);
        m_refLists.clear();
        // In a cascade, each list written is a reference of the lists after it.
        if (m_cascade) m_refPaths.push_back(task.path);
        return counts;
    }

private:
    void OpenStream(size_t r, const RunContext& context) {
        if (m_streams[r]) return;
        const std::optional<std::string> spool =
            m_manyLists ? std::optional(context.StreamTempFolder()) : std::nullopt;
        m_streams[r].emplace(InputList::Stream(m_refPaths[r], spool, context.DecoderMemoryLimit(),
                                               status::kInvalidRefFile));
    }

    // A list that is its own reference would lose every line. The plan's
    // check refused such names before the run; this catches a file moved in
    // under a reference's name since.
    void RefuseListAsReference(const ListTask& task) const {
        for (size_t r = 0; r < m_refLists.size(); ++r)
            for (const InputList* input : task.inputs) {
                const std::optional<FileIdentity> list = input->Identity();
                const std::optional<FileIdentity> reference = m_refLists[r].Identity();
                if (list && reference && list->SameFile(*reference))
                    throw JobFailure(status::kInvalidRefFile, {0, "it is a list being cleaned"},
                                     m_refLists[r].Name());
            }
    }

    std::vector<std::string> m_refPaths;
    bool m_cascade;
    bool m_manyLists;  // each list cleaned on its own, more than one
    std::vector<InputList> m_refLists;
    // The plan's references that are streams, by their place, once opened.
    std::vector<std::optional<InputList>> m_streams;
};
}  // namespace

RunOutcome RefListJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                      RunControl* control) {
    RefListSteps steps(plan);
    return RunJob(plan, context, events, control, steps);
}

}  // namespace lintrim
