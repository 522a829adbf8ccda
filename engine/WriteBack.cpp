// The write-back pass over the table.
#include "WriteBack.h"

#include "ProgressScale.h"
#include "ReplacementFile.h"

namespace {
// Lines written in the view's order lie scattered: they are asked for this
// many entries early.
constexpr int64_t kLineAhead = 16;

void WriteLine(ReplacementFile& output, const char* line, uint32_t length) {
    output.Write(line, length);
    output.Write("\r\n", 2);
}
}  // namespace

// Progress counts every row of the table, l from 0 to n - 1, whichever order
// the rows are written in.
void WriteBack(JobWindow& window, const LineTable& table, const ListLocation& list) {
    ReplacementFile output(list);
    const int64_t n = table.n;
    const int64_t kept = table.keptEntries;
    for (int64_t l = 0; l < n; ++l) {
        progress::ReportRow(window, progress::kRestored, l, n);
        if (!table.writeSorted) {
            if (table.IsWritten(l)) WriteLine(output, table.text[l], table.length[l]);
        } else if (l < kept) {
            if (l + kLineAhead < kept) __builtin_prefetch(table.sorted[l + kLineAhead].Line());
            const SortEntry& entry = table.sorted[l];
            WriteLine(output, entry.Line(), table.LengthOf(entry));
        }
    }
    output.Commit();
}
