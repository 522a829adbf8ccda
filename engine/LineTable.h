// One loaded list (or, for the reference job, an input list with its
// reference lists) as parallel columns indexed by row.
//
//   text    the row's zero-terminated line, inside one of `buffers`
//   length  the line's length in bytes (a line may hold zero bytes)
//   order   the load index, or a negated frequency once a scan has put it there
//   drop    1 marks a row that is not written back
//   source  0 for a row of the input list, k for reference list k (capped at
//           255); only taken for the reference-list job
//   prefix  (when taken) the sort key: the line's first 8 bytes, big-endian, zero padded, so
//           most comparisons never leave the columns
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "LargeBlock.h"
#include "ListBuffer.h"

struct LineTable {
    int64_t n = 0;
    Column<const char*> text;
    Column<uint32_t> length;
    Column<int64_t> order;
    Column<uint8_t> drop;
    Column<uint8_t> source;
    Column<uint64_t> prefix;
    std::vector<ListBuffer> buffers;

    // Takes the columns for `rows` rows; throws JobFailure("not enough memory").
    // The sort keys are taken only when asked for: a job that sorts nothing
    // by text spares their memory.
    void Allocate(int64_t rows, bool withSource, bool withSortKeys);
    // Takes and fills the sort keys of a table loaded without them.
    void TakeSortKeys();
    bool HasSource() const { return static_cast<bool>(source); }
};

// Exchanges two whole rows.
void SwapRows(LineTable& table, int64_t a, int64_t b);

// Releases every line and column; the table is empty afterwards.
void ReleaseLineTable(LineTable& table);

// The sort key of a line: its first 8 bytes as a big-endian number, zero
// padded. All 8 bytes at `line` must be readable (a list buffer's slack
// guarantees it); those past the line's end are masked off.
inline uint64_t LinePrefix(const char* line, uint32_t length) {
    uint64_t word;
    std::memcpy(&word, line, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return length >= 8 ? word : word & ~(~uint64_t{0} >> (8 * length));
}
