// The window's progress scale of one list: 0 to 5000, with fixed positions
// at the stage boundaries. The engine says how far each stage is; the
// window places that on its part of the scale.
#pragma once

#include "lintrim/RunEvents.h"

namespace progress {
inline constexpr int kHigh = 5000;
inline constexpr int kReadingBase = 1000;  // loading takes 0-1000, grouping 1000-2000
inline constexpr int kSorted = 2500;       // the copies of every line are known
inline constexpr int kSortingBase = 3500;  // the kept lines are put in order up to 4000
inline constexpr int kRestored = 4000;     // order restored (or not needed); writing follows
}  // namespace progress

// Where a stage reports on the scale: from `base`, `width` wide.
struct ScaleSpan {
    int base;
    int width;
};

// A stage's progress on its span, truncated: bytes through a float scale,
// as the loading stage has always been placed, lines in whole numbers.
inline int ScalePosition(const lintrim::StageProgress& at, ScaleSpan span) {
    if (at.total == 0) return span.base;
    if (at.bytes)
        return span.base +
               static_cast<int>(static_cast<float>(at.done) *
                                static_cast<float>(span.width / static_cast<double>(at.total)));
    return span.base + static_cast<int>(at.done * static_cast<uint64_t>(span.width) / at.total);
}
