// Writing the kept lines in stretches: the worker threads put stretches of
// the output into the output's form at once, each into a buffer of its own,
// and the job's thread hands the buffers to the output in order as they are
// done. Stretches are taken in waves of two for each thread, so that at most
// a wave's output waits in memory.
#pragma once

#include <cstdint>
#include <functional>

#include "write/LineOutput.h"

namespace lintrim {

// Fills stretch s through its own output; returns the kept lines it wrote.
using StretchFormat = std::function<uint64_t(size_t s, LineOutput& to)>;

// Writes `stretches` stretches through `output` on `threads` threads; calls
// onWritten with the kept lines written so far at every multiple of `step`,
// as the lines are written one by one.
void WriteInStretches(LineOutput& output, size_t stretches, unsigned threads, uint64_t step,
                      const std::function<void(uint64_t)>& onWritten, const StretchFormat& format);

}  // namespace lintrim
