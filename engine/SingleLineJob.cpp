// The single-line job: every copy of one line removed, everything else kept
// as it stands. In file order it is one streaming pass that writes as it
// reads, in constant memory; alphabetized, the kept lines go through the
// partitions, every copy kept, and are merged in byte order.
#include "SingleLineJob.h"

#include <cstring>

#include "ControlIds.h"
#include "JobFrame.h"
#include "ListCleaner.h"
#include "ListReader.h"
#include "ProgressScale.h"
#include "ReplacementFile.h"
#include "StatusTexts.h"

namespace {
constexpr const char* kLineEnd = "\r\n";

// Copies the list to its replacement without the line; returns the lines
// read and removed.
ListCounts StreamWithout(JobWindow& window, InputList& input, const std::string& line) {
    ListReader reader(input, status::kInputCantBeRead);
    ReplacementFile output(input.Location());
    const float scale = input.Size() ? 1000.0f / static_cast<float>(input.Size()) : 0.0f;
    ListCounts counts;
    window.SetProgressPos(progress::kRestored);
    ForEachPiece(reader, [&](const char* text, uint64_t length, uint64_t after) {
        if (length == 0) return;
        if (length == line.size() && std::memcmp(text, line.data(), length) == 0) {
            ++counts.dupes;
        } else {
            output.Write(text, length);
            output.Write(kLineEnd, 2);
        }
        if (++counts.read % progress::kRowStep == 0)
            window.SetProgressPos(progress::kRestored + ScaledPosition(after, scale));
    });
    output.Commit();
    return counts;
}

// The kept lines in byte order, loaded, kept whole and merged in the
// stretch of the scale that sorting has.
ListCounts SortedWithout(JobWindow& window, InputList& input, const std::string& path,
                         const std::string& line) {
    ListCleaner cleaner(window, input.Location(), path);
    cleaner.Load({{&input, status::kInputCantBeRead, false}}, line, {progress::kSorted, 500});
    cleaner.Group(true, {progress::kSorted + 500, 500});
    cleaner.Sort(KeptOrder::Alphabetical, {progress::kSortingBase, 500});
    window.SetProgressPos(progress::kRestored);
    window.SetStatusText(status::kWriting);
    cleaner.Write(KeptOrder::Alphabetical);
    return {cleaner.Read(), cleaner.Removed()};
}

class SingleLineSteps : public JobSteps {
public:
    bool HasSelection(JobWindow& window) override { return HasInputLists(window); }

    // The box is read-only from the lock on, so the line is fixed for the run.
    void ReadOptionsAfterLock(JobWindow& window) override {
        m_line = window.GetSingleText();
        window.AccessSelection([&] { window.m_singleLine = m_line; });
    }

    ListCounts ProcessList(JobWindow& window, InputList& input, const std::string& path) override {
        window.SetStatusText(status::kCounting);
        window.SetStatusText(status::kReading);
        window.SetProgressPos(progress::kReadingBase);
        window.SetProgressPos(progress::kSorted);
        window.SetStatusText(status::kFindingDupe);
        window.SetProgressPos(progress::kSorted);
        if (window.IsChecked(IDC_ALPHABETIZE)) {
            window.SetStatusText(status::kSorting);
            return SortedWithout(window, input, path, m_line);
        }
        window.SetProgressPos(progress::kRestored);
        window.SetStatusText(status::kWriting);
        return StreamWithout(window, input, m_line);
    }

    void EndRun(JobWindow& window) override { UnlockControls(window, true); }

private:
    std::string m_line;
};
}  // namespace

int SingleLineJob(JobWindow& window) {
    SingleLineSteps steps;
    return RunJob(window, steps);
}
