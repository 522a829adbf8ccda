// Putting the kept lines of a list held in memory in order: all of them in
// one array of keys, cut in as many pieces as there are threads, each piece
// sorted on its own thread, then the pieces merged. A spilled list sorts
// each run instead and merges the runs as it writes.
#pragma once

#include <vector>

#include "runs/KeptRun.h"
#include "order/KeptKey.h"

namespace lintrim {

std::vector<KeptKey> SortKept(const std::vector<KeptRun>& runs, const KeptOrder& order,
                              unsigned threads);

// Sorts [begin, end) in `order`. In alphabetical order by the bytes, keys
// whose first 8 bytes agree are sorted by their next 8 bytes, each line
// read once for them, and so on, rather than by comparing their lines
// again and again; the keys are left as they were.
void SortKeys(KeptKey* begin, KeptKey* end, const KeptOrder& order);

}  // namespace lintrim
