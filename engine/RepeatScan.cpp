// Walks the text-sorted table run by run.
#include "RepeatScan.h"

#include <cstring>

namespace {
constexpr int64_t kScanStep = 10000;
constexpr int kScanBase = 2500;

bool SameLine(const LineTable& t, int64_t a, int64_t b) {
    return t.prefix[a] == t.prefix[b] && t.length[a] == t.length[b] &&
           (t.length[a] <= 8 || std::memcmp(t.text[a] + 8, t.text[b] + 8, t.length[a] - 8) == 0);
}

bool FromInput(const LineTable& t, int64_t row) {
    return !t.HasSource() || t.source[row] == 0;
}

// Keeps the first copy in the file of the run [begin, end) and marks the rest;
// returns the input rows marked beyond that first copy.
int64_t MarkRun(LineTable& t, int64_t begin, int64_t end, bool byFrequency) {
    int64_t keep = begin;
    int64_t inputRows = 0;
    bool hasReference = false;
    for (int64_t row = begin; row < end; ++row) {
        if (t.order[row] < t.order[keep]) keep = row;
        if (FromInput(t, row))
            ++inputRows;
        else
            hasReference = true;
        t.drop[row] = 1;
    }
    t.drop[keep] = hasReference ? 1 : 0;
    if (byFrequency) t.order[keep] = -(end - begin);
    // Input rows load before reference rows, so the kept row is an input row
    // whenever the run has one.
    return inputRows > 0 ? inputRows - 1 : 0;
}
}  // namespace

int64_t MarkRepeats(JobWindow& window, LineTable& table, bool byFrequency) {
    const int64_t n = table.n;
    int64_t dupes = 0;
    int64_t l = 0;
    while (l < n - 1) {
        if (l % kScanStep == 0) window.SetProgressPos(static_cast<int>(kScanBase + l * 1000 / n));
        const int64_t head = l++;
        while (l < n && SameLine(table, head, l)) ++l;
        dupes += MarkRun(table, head, l, byFrequency);
    }
    if (l == n - 1) dupes += MarkRun(table, l, n, byFrequency);
    return dupes;
}
