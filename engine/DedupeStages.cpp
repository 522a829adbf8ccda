// Sort, scan, restore, write.
#include "DedupeStages.h"

#include "ControlIds.h"
#include "LineSort.h"
#include "ProgressScale.h"
#include "RepeatScan.h"
#include "StatusTexts.h"
#include "WriteBack.h"

namespace {
// The rows never left their load order, so the file order needs only the
// view given up. By frequency, the kept rows are sorted by their negated run
// sizes, lines of equal frequency in file order.
void RestoreOrder(LineTable& table, bool byFrequency, PivotRandom& random) {
    if (!byFrequency) return table.ReleaseSortKeys();
    SortByOrder(table, 0, table.keptEntries - 1, random);
    table.WriteInViewOrder();
}
}  // namespace

int64_t RunDedupeStages(JobWindow& window, LineTable& table, bool byFrequency, PivotRandom& random,
                        const ListLocation& list) {
    window.SetStatusText(status::kSorting);
    SortByText(table, 0, table.n - 1, random);
    window.SetProgressPos(progress::kSorted);
    window.SetStatusText(status::kFindingDupes);
    const int64_t dupes = MarkRepeats(window, table, byFrequency);
    if (window.IsChecked(IDC_ALPHABETIZE)) {
        table.WriteInViewOrder();
    } else {
        window.SetStatusText(status::kRestoringOrder);
        RestoreOrder(table, byFrequency, random);
    }
    window.SetProgressPos(progress::kRestored);
    window.SetStatusText(status::kWriting);
    WriteBack(window, table, list);
    return dupes;
}
