// Sorting the table's sorted view in place: by text (so equal lines stand
// together) and by the restore key (to order the kept lines by frequency).
// One randomised quicksort serves both. The rows themselves never move, so
// the reference job's source column needs no sort of its own. Large ranges are split over both
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

// Whether the rows of two text-keyed entries hold the same line, byte for byte.
bool SameLine(const LineTable& table, const SortEntry& a, const SortEntry& b);
