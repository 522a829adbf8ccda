// The duplicate scan over a table whose view is sorted by text: every run of equal lines
// keeps one row, the copy that came first in the file (lowest load index),
// and every other row of the run is marked. When a run holds a row of a
// reference list, its kept row is marked too, so nothing of it is written.
#pragma once

#include <cstdint>

#include "JobWindow.h"
#include "LineTable.h"

// Marks the table and returns the dupe count: the input-list rows marked
// beyond the first copy of their line. With byFrequency, the kept row's key
// in the view becomes the negated size of its run. Sends 2500 + l * 1000 / n at the start
// of each run whose first row l is a multiple of 10000 (except the last row).
int64_t MarkRepeats(JobWindow& window, LineTable& table, bool byFrequency);
