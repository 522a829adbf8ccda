// Sort, scan, restore, write.
#include "DedupeStages.h"

#include "ControlIds.h"
#include "LineSort.h"
#include "RepeatScan.h"
#include "StatusTexts.h"
#include "WriteBack.h"

namespace {
void SortTableByText(LineTable& table, PivotRandom& random) {
    if (table.HasSource())
        SortByTextWithSource(table, 0, table.n - 1, random);
    else
        SortByText(table, 0, table.n - 1, random);
}

bool IsWritten(const LineTable& table, int64_t row) {
    return !table.drop[row] && (!table.HasSource() || table.source[row] == 0);
}

// Moves the rows that will be written to the front and returns their count.
// The writing pass skips every other row wherever it stands, so only these
// need their order back: on a list with many repeats that halves the sort.
int64_t GatherWrittenRows(LineTable& table) {
    int64_t front = 0;
    int64_t back = table.n - 1;
    for (;;) {
        while (front <= back && IsWritten(table, front)) ++front;
        while (front < back && !IsWritten(table, back)) --back;
        if (front >= back) return front;
        SwapRows(table, front++, back--);
    }
}

void RestoreFileOrder(LineTable& table, PivotRandom& random) {
    const int64_t written = GatherWrittenRows(table);
    if (table.HasSource())
        SortByOrderWithSource(table, 0, written - 1, random);
    else
        SortByOrder(table, 0, written - 1, random);
}
}  // namespace

int64_t RunDedupeStages(JobWindow& window, LineTable& table, bool byFrequency, PivotRandom& random,
                        const std::string& path) {
    window.SetStatusText(status::kSorting);
    SortTableByText(table, random);
    window.SetProgressPos(2500);
    window.SetStatusText(status::kFindingDupes);
    const int64_t dupes = MarkRepeats(window, table, byFrequency);
    if (!window.IsChecked(IDC_ALPHABETIZE)) {
        window.SetStatusText(status::kRestoringOrder);
        RestoreFileOrder(table, random);
    }
    window.SetProgressPos(4000);
    window.SetStatusText(status::kWriting);
    WriteBack(window, table, path);
    return dupes;
}
