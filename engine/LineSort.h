// Sorting the table's sorted view in place: by text (so equal lines stand
// together) and by the restore key (to order the kept lines by frequency).
// One randomised quicksort serves all forms. Large ranges are split over both
// cores once partitioned; the pivots come from `random`, so a run always
// sorts the same way.
#pragma once

#include <cstdint>

#include "LineTable.h"
#include "PivotRandom.h"

// Entries lo..hi inclusive, by their rows' text in byte order (a prefix first).
void SortByText(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);

// Entries lo..hi inclusive, by key as a signed number, then by load index:
// every entry differs, so the result never depends on the pivots.
void SortByOrder(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);

// The reference job's table carries a source column; rows never move, so it
// needs no sort of its own and these are the same sorts.
inline void SortByTextWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    SortByText(table, lo, hi, random);
}
inline void SortByOrderWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    SortByOrder(table, lo, hi, random);
}

// Whether the rows of two text-keyed entries hold the same line, byte for byte.
bool SameLine(const LineTable& table, const SortEntry& a, const SortEntry& b);
