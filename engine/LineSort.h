// Sorting the line table in place: by text (so equal lines stand together)
// and by the order column (to give the survivors back their file order).
// One randomised quicksort serves all four forms; the "WithSource" forms also
// carry the source column of the reference-list job. Large ranges are split
// over both cores once partitioned; the pivots come from `random`, so a run
// always sorts the same way.
#pragma once

#include <cstdint>

#include "LineTable.h"
#include "PivotRandom.h"

// Rows lo..hi inclusive, by line text in byte order (a prefix first).
void SortByText(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);
void SortByTextWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);

// Rows lo..hi inclusive, by the order column. Rows with equal order values
// (lines of equal frequency) keep the order in which their lines stand in the
// file, so the result never depends on the pivots.
void SortByOrder(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);
void SortByOrderWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random);

// Three-way comparison of two rows' lines in byte order.
int CompareLines(const LineTable& table, int64_t a, int64_t b);
