// The progress scale of one list: 0 to 5000, with fixed positions at the
// stage boundaries, and the rule by which the row-by-row stages report.
#pragma once

#include <cstdint>

#include "JobWindow.h"

namespace progress {
inline constexpr int kHigh = 5000;
inline constexpr int kReadingBase = 1000;       // the loading passes take 0-1000 and 1000-2000
inline constexpr int kSorted = 2500;            // sort by text done; the scan follows
inline constexpr int kRestored = 4000;          // order restored (or not needed); writing follows
inline constexpr int64_t kCountingStep = 1000;  // lines counted between reports
inline constexpr int64_t kRowStep = 10000;      // rows between reports of the later stages

// Reports base + l * 1000 / n before row l of a row-by-row stage, every
// kRowStep rows; each report waits for the window, so they are kept few.
inline void ReportRow(JobWindow& window, int base, int64_t l, int64_t n) {
    if (l % kRowStep == 0) window.SetProgressPos(static_cast<int>(base + l * 1000 / n));
}
}  // namespace progress
