// The stages after loading that the dedupe and reference-list jobs share:
// sort by text, mark repeats, restore the file order unless Alphabetize is
// checked, and write back.
#pragma once

#include <cstdint>
#include "JobWindow.h"
#include "LineTable.h"
#include "ListLocation.h"
#include "PivotRandom.h"

// Returns the dupe count.
int64_t RunDedupeStages(JobWindow& window, LineTable& table, bool byFrequency, PivotRandom& random,
                        const ListLocation& list);
