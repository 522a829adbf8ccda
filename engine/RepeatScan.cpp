// Walks the sorted view run by run.
#include "RepeatScan.h"

#include "LineSort.h"
#include "ProgressScale.h"

namespace {

// Keeps the first copy in the file of the run [begin, end) of the view and
// marks the rest; returns the input rows marked beyond that first copy. The
// entry of a row to be written moves to `kept`, the front of the view, which
// never passes the run being marked.
int64_t MarkRun(LineTable& t, int64_t begin, int64_t end, bool byFrequency, int64_t& kept) {
    SortEntry* e = t.sorted.Data();
    int64_t keep = begin;
    int64_t inputRows = 0;
    bool hasReference = false;
    for (int64_t i = begin; i < end; ++i) {
        if (e[i].Order() < e[keep].Order()) keep = i;
        if (t.FromInput(e[i].Order()))
            ++inputRows;
        else
            hasReference = true;
        t.drop[e[i].Order()] = 1;
    }
    t.drop[e[keep].Order()] = hasReference ? 1 : 0;
    // The key is spent once the run is known; it becomes the restore key.
    if (byFrequency) e[keep].key = static_cast<uint64_t>(-(end - begin));
    if (!hasReference) e[kept++] = e[keep];
    // Input rows load before reference rows, so the kept row is an input row
    // whenever the run has one.
    return inputRows > 0 ? inputRows - 1 : 0;
}
}  // namespace

int64_t MarkRepeats(JobWindow& window, LineTable& table, bool byFrequency) {
    const int64_t n = table.n;
    const SortEntry* e = table.sorted.Data();
    int64_t dupes = 0;
    int64_t kept = 0;
    int64_t l = 0;
    while (l < n - 1) {
        progress::ReportRow(window, progress::kSorted, l, n);
        PrefetchAhead(table, l, n);
        const int64_t head = l++;
        while (l < n && SameLine(table, e[head], e[l])) PrefetchAhead(table, l++, n);
        dupes += MarkRun(table, head, l, byFrequency, kept);
    }
    if (l == n - 1) dupes += MarkRun(table, l, n, byFrequency, kept);
    table.keptEntries = kept;
    return dupes;
}
