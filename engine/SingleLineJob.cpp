// The single-line job: the frame, loading, one linear scan, an optional sort.
#include "SingleLineJob.h"

#include <cstring>

#include "ControlIds.h"
#include "JobFrame.h"
#include "LineSort.h"
#include "ListLoader.h"
#include "ProgressScale.h"
#include "StatusTexts.h"
#include "WriteBack.h"

namespace {

// Marks every row equal to `line`, byte for byte; returns how many.
int64_t MarkLine(JobWindow& window, LineTable& table, const std::string& line) {
    int64_t marked = 0;
    for (int64_t l = 0; l < table.n; ++l) {
        progress::ReportRow(window, progress::kSorted, l, table.n);
        if (table.length[l] == line.size() &&
            std::memcmp(table.text[l], line.data(), line.size()) == 0) {
            table.drop[l] = 1;
            ++marked;
        }
    }
    return marked;
}

class SingleLineSteps : public JobSteps {
public:
    bool HasSelection(JobWindow& window) override { return HasInputLists(window); }

    // The box is read-only from the lock on, so the line is fixed for the run.
    void ReadOptionsAfterLock(JobWindow& window) override {
        m_line = window.GetSingleText();
        window.AccessSelection([&] { window.m_singleLine = m_line; });
    }

    ListCounts ProcessList(JobWindow& window, InputList& input, const std::string&,
                           PivotRandom& random) override {
        LineTable table;
        LoadList(window, input, false, table);
        window.SetProgressPos(progress::kSorted);
        window.SetStatusText(status::kFindingDupe);
        const int64_t dupes = MarkLine(window, table, m_line);
        if (window.IsChecked(IDC_ALPHABETIZE)) {
            window.SetStatusText(status::kSorting);
            table.TakeSortKeys();
            SortByText(table, 0, table.n - 1, random);
            table.KeepWrittenEntries();
            table.WriteInViewOrder();
        }
        window.SetProgressPos(progress::kRestored);
        window.SetStatusText(status::kWriting);
        WriteBack(window, table, input.Location());
        return {table.n, dupes};
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
