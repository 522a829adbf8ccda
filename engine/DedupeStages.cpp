// Sort, scan, restore, write.
#include "DedupeStages.h"

#include <utility>

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
    return !table.drop[row] && table.FromInput(row);
}

// Moves the entries of the rows that will be written to the front of the view
// and returns their count: only these need ordering, the writing pass skips
// the rest wherever they stand.
int64_t GatherWrittenEntries(LineTable& table) {
    SortEntry* e = table.sorted.Data();
    int64_t front = 0;
    int64_t back = table.n - 1;
    for (;;) {
        while (front <= back && IsWritten(table, e[front].Order())) ++front;
        while (front < back && !IsWritten(table, e[back].Order())) --back;
        if (front >= back) return front;
        std::swap(e[front++], e[back--]);
    }
}

// The rows never left their load order, so the file order needs only the
// view given up. By frequency, the kept rows are sorted by their negated run
// sizes, lines of equal frequency in file order.
void RestoreOrder(LineTable& table, bool byFrequency, PivotRandom& random) {
    if (!byFrequency) return table.ReleaseSortKeys();
    const int64_t written = GatherWrittenEntries(table);
    if (table.HasSource())
        SortByOrderWithSource(table, 0, written - 1, random);
    else
        SortByOrder(table, 0, written - 1, random);
    table.writeSorted = true;
}
}  // namespace

int64_t RunDedupeStages(JobWindow& window, LineTable& table, bool byFrequency, PivotRandom& random,
                        const std::string& path) {
    window.SetStatusText(status::kSorting);
    SortTableByText(table, random);
    window.SetProgressPos(2500);
    window.SetStatusText(status::kFindingDupes);
    const int64_t dupes = MarkRepeats(window, table, byFrequency);
    if (window.IsChecked(IDC_ALPHABETIZE)) {
        table.writeSorted = true;
    } else {
        window.SetStatusText(status::kRestoringOrder);
        RestoreOrder(table, byFrequency, random);
    }
    window.SetProgressPos(4000);
    window.SetStatusText(status::kWriting);
    WriteBack(window, table, path);
    return dupes;
}
