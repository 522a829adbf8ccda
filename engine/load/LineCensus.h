// Describing a list's lines as they are read (lengths, line ends, bytes
// above 127, NULs, $HEX[] lines), for a run that asks to see them. It walks
// the bytes once more on the reading thread, so only such a run pays.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "lintrim/RunPlan.h"
#include "lintrim/RunResults.h"
#include "read/InputList.h"

namespace lintrim {

// Counts the lines of a stretch that ends at a line break, or at the end of
// the list when `last`; empty lines are not counted.
void CountLines(const char* data, size_t size, bool last, LineStats& stats);

// The line end a result of `lists` takes for `choice`: for kAsRead, CR LF
// when more of their lines end so than with a lone LF, which takes one more
// reading of each list.
std::string LineEndOf(LineEnd choice, const std::vector<InputList*>& lists);

// Whether a line is `$HEX[` + an even number of hex digits + `]`.
bool IsHexLine(const char* line, size_t length);

}  // namespace lintrim
