// One loaded list (or, for the reference job, an input list with its
// reference lists): columns indexed by row, where a row's number is its load
// index (0 for the first non-empty line, counting on through the files).
//
//   text    the row's zero-terminated line, inside one of `buffers`
//   length  the line's length in bytes (a line may hold zero bytes)
//   drop    1 marks a row that is not written back
//   source  0 for a row of the input list, k for reference list k (capped at
//           255); only taken for the reference-list job
//
// The rows themselves never move. Sorting orders `sorted`, a view of the
// rows: one entry per row, holding the row's number (`order`) and a sort key
// beside it, so that a swap moves 16 bytes and most comparisons never leave
// the view. Restoring the file order is then only a matter of writing the
// rows in load order again.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "LargeBlock.h"
#include "ListBuffer.h"

// One entry of the sorted view: a sort key, and the row it stands for (its
// load index, the `order` of the row) packed with the line's length, so that
// lines which agree in their first 8 bytes are mostly told apart without a
// look at the columns: two lines of 8 bytes or less with one key are equal.
struct SortEntry {
    static constexpr int kRowBits = 40;  // a trillion rows
    static constexpr uint64_t kRowMask = (uint64_t{1} << kRowBits) - 1;
    static constexpr uint32_t kLengthCap = (uint32_t{1} << (64 - kRowBits)) - 1;

    // The line's first 8 bytes (text sort), then the restore key, and at last,
    // for writing, the line's address (see WriteInViewOrder).
    uint64_t key;
    uint64_t packed;  // row in the low bits, length (capped) in the high bits

    static SortEntry Make(uint64_t key, int64_t row, uint32_t length) {
        const uint64_t capped = length < kLengthCap ? length : kLengthCap;
        return {key, (capped << kRowBits) | static_cast<uint64_t>(row)};
    }
    int64_t Order() const { return static_cast<int64_t>(packed & kRowMask); }
    const char* Line() const { return reinterpret_cast<const char*>(key); }
    // The length, or kLengthCap for a line at least that long.
    uint32_t ShortLength() const { return static_cast<uint32_t>(packed >> kRowBits); }
};

struct LineTable {
    int64_t n = 0;
    Column<const char*> text;
    Column<uint32_t> length;
    Column<uint8_t> drop;
    Column<uint8_t> source;
    Column<SortEntry> sorted;  // taken only by jobs that sort
    // Written in load order, skipping marked rows; or, once set, the rows of
    // the first `keptEntries` entries of `sorted`, in that order.
    bool writeSorted = false;
    int64_t keptEntries = 0;
    std::vector<ListBuffer> buffers;

    // Takes the columns for `rows` rows; throws JobFailure("not enough memory").
    // The sorted view is taken only when asked for: a job that sorts nothing
    // spares its memory.
    void Allocate(int64_t rows, bool withSource, bool withSortKeys);
    // Takes and fills the sorted view of a table loaded without it.
    void TakeSortKeys();
    // Gives the view up once the rows are to be written in load order.
    void ReleaseSortKeys();
    // Moves the entries of the rows to be written to the front of the view,
    // in their order, and counts them in keptEntries.
    void KeepWrittenEntries();
    // From here the kept entries are written in the view's order.
    void WriteInViewOrder();
    bool HasSource() const { return static_cast<bool>(source); }
    bool FromInput(int64_t row) const { return !source || source[row] == 0; }
    bool IsWritten(int64_t row) const { return !drop[row] && FromInput(row); }
    // The exact length of an entry's line.
    uint32_t LengthOf(const SortEntry& e) const {
        return e.ShortLength() < SortEntry::kLengthCap ? e.ShortLength() : length[e.Order()];
    }
};

// A loop over the sorted view visits rows scattered over memory. It calls
// this for each entry l it reaches, to ask early for what it will read a few
// entries on: the text column's entry, then the line itself.
// `end` bounds the entries the loop will visit.
inline void PrefetchAhead(const LineTable& t, int64_t l, int64_t end) {
    constexpr int64_t kColumnAhead = 16;
    constexpr int64_t kLineAhead = 8;
    if (l + kColumnAhead < end) __builtin_prefetch(&t.text[t.sorted[l + kColumnAhead].Order()]);
    if (l + kLineAhead < end) __builtin_prefetch(t.text[t.sorted[l + kLineAhead].Order()]);
}

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
