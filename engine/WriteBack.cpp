// The write-back pass over the table.
#include "WriteBack.h"

#include "ReplacementFile.h"

namespace {
constexpr int64_t kWriteStep = 10000;
constexpr int kWriteBase = 4000;
}  // namespace

void WriteBack(JobWindow& window, const LineTable& table, const std::string& path) {
    ReplacementFile output(path);
    const int64_t n = table.n;
    for (int64_t l = 0; l < n; ++l) {
        if (l % kWriteStep == 0) window.SetProgressPos(static_cast<int>(kWriteBase + l * 1000 / n));
        if (table.writeSorted) PrefetchAhead(table, l);
        const int64_t row = table.RowAt(l);
        if (table.drop[row] || !table.FromInput(row)) continue;
        output.Write(table.text[row], table.length[row]);
        output.Write("\r\n", 2);
    }
    output.Commit();
}
