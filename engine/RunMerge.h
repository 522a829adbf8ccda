// Writing a list's kept lines: the merge of its runs in the order asked.
// Each run is already in that order, and no line stands in two runs.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ListWriter.h"
#include "Run.h"

// Writes every kept line, each followed by `lineEnd`; calls onWritten with
// the lines written so far every `step` lines.
void MergeRuns(const std::vector<Run>& runs, KeptOrder order, size_t chunkBytes, ListWriter& output,
               const char* lineEnd, uint64_t step, const std::function<void(uint64_t)>& onWritten);
