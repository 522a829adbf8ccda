// Taking and releasing the columns of the line table.
#include "LineTable.h"

#include "JobFailure.h"
#include "StatusTexts.h"

void LineTable::Allocate(int64_t rows, bool withSource, bool withSortKeys) {
    if (static_cast<uint64_t>(rows) > SortEntry::kRowMask)
        throw JobFailure(status::kNotEnoughMemory);
    const auto count = static_cast<size_t>(rows);
    text = Column<const char*>::Take(count);
    length = Column<uint32_t>::Take(count);
    drop = Column<uint8_t>::Take(count);
    source = withSource ? Column<uint8_t>::Take(count) : Column<uint8_t>{};
    sorted = withSortKeys ? Column<SortEntry>::Take(count) : Column<SortEntry>{};
    if (!text || !length || !drop || (withSource && !source) || (withSortKeys && !sorted)) {
        ReleaseLineTable(*this);
        throw JobFailure(status::kNotEnoughMemory);
    }
    n = rows;
}

void LineTable::TakeSortKeys() {
    sorted = Column<SortEntry>::Take(static_cast<size_t>(n));
    if (!sorted) throw JobFailure(status::kNotEnoughMemory);
    for (int64_t row = 0; row < n; ++row)
        sorted[row] = SortEntry::Make(LinePrefix(text[row], length[row]), row, length[row]);
}

void LineTable::ReleaseSortKeys() {
    sorted = Column<SortEntry>{};
    writeSorted = false;
    keptEntries = 0;
}

void LineTable::KeepWrittenEntries() {
    int64_t kept = 0;
    for (int64_t l = 0; l < n; ++l) {
        PrefetchAhead(*this, l, n);
        if (IsWritten(sorted[l].Order())) sorted[kept++] = sorted[l];
    }
    keptEntries = kept;
}

// The kept entries' keys are spent: each takes its line's address. Fetched
// here in one pass, where no load waits for another, the writing pass then
// has one scattered read per line instead of two in a row.
void LineTable::WriteInViewOrder() {
    constexpr int64_t kAhead = 16;
    for (int64_t l = 0; l < keptEntries; ++l) {
        if (l + kAhead < keptEntries) __builtin_prefetch(&text[sorted[l + kAhead].Order()]);
        sorted[l].key = reinterpret_cast<uintptr_t>(text[sorted[l].Order()]);
    }
    writeSorted = true;
}

void ReleaseLineTable(LineTable& table) {
    table = LineTable{};
}
