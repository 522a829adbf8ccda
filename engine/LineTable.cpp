// Taking and releasing the columns of the line table.
#include "LineTable.h"

#include <cstring>
#include <utility>

#include "JobFailure.h"
#include "StatusTexts.h"

void LineTable::Allocate(int64_t rows, bool withSource, bool withSortKeys) {
    const auto count = static_cast<size_t>(rows);
    text = Column<const char*>::Take(count);
    length = Column<uint32_t>::Take(count);
    order = Column<int64_t>::Take(count);
    drop = Column<uint8_t>::Take(count);
    source = withSource ? Column<uint8_t>::Take(count) : Column<uint8_t>{};
    prefix = withSortKeys ? Column<uint64_t>::Take(count) : Column<uint64_t>{};
    if (!text || !length || !order || !drop || (withSource && !source) ||
        (withSortKeys && !prefix)) {
        ReleaseLineTable(*this);
        throw JobFailure(status::kNotEnoughMemory);
    }
    n = rows;
}

void LineTable::TakeSortKeys() {
    prefix = Column<uint64_t>::Take(static_cast<size_t>(n));
    if (!prefix) throw JobFailure(status::kNotEnoughMemory);
    for (int64_t row = 0; row < n; ++row) prefix[row] = LinePrefix(text[row], length[row]);
}

void SwapRows(LineTable& table, int64_t a, int64_t b) {
    if (table.prefix) std::swap(table.prefix[a], table.prefix[b]);
    std::swap(table.text[a], table.text[b]);
    std::swap(table.length[a], table.length[b]);
    std::swap(table.order[a], table.order[b]);
    std::swap(table.drop[a], table.drop[b]);
    if (table.HasSource()) std::swap(table.source[a], table.source[b]);
}

void ReleaseLineTable(LineTable& table) {
    table = LineTable{};
}
