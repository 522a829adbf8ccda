// The reference-list job: the reference lists are opened again for each
// list, so that each list is cleaned against them as they are then. A
// cascade is this job with each list written added to the references.
#include "job/RefListJob.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "job/CleaningStages.h"
#include "job/JobFrame.h"
#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

namespace {
class RefListSteps : public JobSteps {
public:
    explicit RefListSteps(const RunPlan& plan)
        : m_refPaths(plan.references), m_cascade(plan.setOperation == SetOperation::kCascade) {}

    // Every reference list must open before anything of the input list is
    // done; none holds a descriptor until it is read, however many there are.
    void PrepareList(const RunContext& context) override {
        m_refLists.clear();
        for (const std::string& path : m_refPaths) {
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
        const ListCounts counts = RunCleaningStages(events, task, sources);
        m_refLists.clear();
        // In a cascade, each list written is a reference of the lists after it.
        if (m_cascade) m_refPaths.push_back(task.path);
        return counts;
    }

private:
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
                                     m_refPaths[r]);
            }
    }

    std::vector<std::string> m_refPaths;
    bool m_cascade;
    std::vector<InputList> m_refLists;
};
}  // namespace

RunOutcome RefListJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                      RunControl* control) {
    RefListSteps steps(plan);
    return RunJob(plan, context, events, control, steps);
}

}  // namespace lintrim
