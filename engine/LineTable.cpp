// Taking and releasing the columns of the line table.
#include "LineTable.h"

#include <bit>
#include <cstring>
#include <new>
#include <utility>

#include "JobFailure.h"
#include "StatusTexts.h"

namespace {
template <typename T>
std::unique_ptr<T[]> TakeColumn(int64_t rows) {
    // Columns are filled row by row right after, so they are not zeroed first.
    return std::make_unique_for_overwrite<T[]>(static_cast<size_t>(rows));
}
}  // namespace

void LineTable::Allocate(int64_t rows, bool withSource) {
    try {
        text = TakeColumn<const char*>(rows);
        length = TakeColumn<uint32_t>(rows);
        order = TakeColumn<int64_t>(rows);
        drop = TakeColumn<uint8_t>(rows);
        source = withSource ? TakeColumn<uint8_t>(rows) : nullptr;
        prefix = TakeColumn<uint64_t>(rows);
    } catch (const std::bad_alloc&) {
        ReleaseLineTable(*this);
        throw JobFailure(status::kNotEnoughMemory);
    }
    n = rows;
}

void SwapRows(LineTable& table, int64_t a, int64_t b) {
    std::swap(table.prefix[a], table.prefix[b]);
    std::swap(table.text[a], table.text[b]);
    std::swap(table.length[a], table.length[b]);
    std::swap(table.order[a], table.order[b]);
    std::swap(table.drop[a], table.drop[b]);
    if (table.HasSource()) std::swap(table.source[a], table.source[b]);
}

void ReleaseLineTable(LineTable& table) {
    table = LineTable{};
}

uint64_t LinePrefix(const char* line, uint32_t length) {
    uint64_t key = 0;
    std::memcpy(&key, line, length < 8 ? length : 8);
    if constexpr (std::endian::native == std::endian::little) key = __builtin_bswap64(key);
    return key;
}
