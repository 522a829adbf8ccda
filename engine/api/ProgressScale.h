// The progress scale of one list: 0 to 5000, with fixed positions at the
// stage boundaries, and the steps at which the stages report.
#pragma once

#include <cstdint>

namespace progress {
inline constexpr int kHigh = 5000;
inline constexpr int kReadingBase = 1000;       // loading takes 0-1000, grouping 1000-2000
inline constexpr int kSorted = 2500;            // the copies of every line are known
inline constexpr int kSortingBase = 3500;       // the kept lines are put in order up to 4000
inline constexpr int kRestored = 4000;          // order restored (or not needed); writing follows
inline constexpr int64_t kCountingStep = 1000;  // lines loaded between reports
inline constexpr int64_t kRowStep = 10000;      // rows between reports of the later stages
}  // namespace progress

// A byte count on the 0-1000 scale of loading, truncated; `scale` is 1000
// over the bytes of all the lists loaded.
inline int ScaledPosition(uint64_t bytes, float scale) {
    return static_cast<int>(static_cast<float>(bytes) * scale);
}
