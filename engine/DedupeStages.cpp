// Load, group, order, write.
#include "DedupeStages.h"

#include "ControlIds.h"
#include "ProgressScale.h"
#include "StatusTexts.h"

ListCounts RunDedupeStages(JobWindow& window, const std::vector<ListSource>& sources,
                           bool byFrequency, const std::string& path) {
    ListCleaner cleaner(window, sources.front().list->Location(), path);
    window.SetStatusText(status::kCounting);
    cleaner.Load(sources, std::nullopt, {0, progress::kReadingBase});
    window.SetStatusText(status::kReading);
    window.SetProgressPos(progress::kReadingBase);
    cleaner.Group(false, {progress::kReadingBase, 1000});
    // Grouping by hash has found every line's copies: nothing is left to sort
    // or scan before the order is chosen.
    window.SetStatusText(status::kSorting);
    window.SetProgressPos(progress::kSorted);
    window.SetStatusText(status::kFindingDupes);
    window.SetProgressPos(progress::kSorted);
    KeptOrder order = KeptOrder::Alphabetical;
    if (!window.IsChecked(IDC_ALPHABETIZE)) {
        window.SetStatusText(status::kRestoringOrder);
        order = byFrequency ? KeptOrder::Frequency : KeptOrder::File;
    }
    cleaner.Sort(order, {progress::kSortingBase, progress::kRestored - progress::kSortingBase});
    window.SetProgressPos(progress::kRestored);
    window.SetStatusText(status::kWriting);
    cleaner.Write(order);
    return {cleaner.Read(), cleaner.Removed()};
}
