// Putting a kept run in an order: the records of a run held in memory
// sorted where they are, those of a run on disk read back, sorted and
// spilled again; and a run spilled in the stretches of an order, so that
// every run of a list can be merged a stretch at a time, on every thread.
#pragma once

#include <cstddef>
#include <string>

#include "order/KeptOrder.h"
#include "order/KeyBounds.h"
#include "runs/KeptRun.h"

namespace lintrim {

// Moves the run's records to a new temporary file in `folder`; with
// `bounds` (which cut a run in the order it is in), noting its stretches.
void SpillInStretches(KeptRun& run, const std::string& folder, const KeyBounds* bounds);

// Puts the records of a run on disk in `order`, in a new file, noting its
// stretches when `bounds` has any; with takeStretches, the bounds are first
// taken from this run. (The kept lines of a list held in memory are sorted
// all together instead.)
void SortOnDisk(KeptRun& run, const KeptOrder& order, const std::string& folder,
                KeyBounds* bounds = nullptr, size_t takeStretches = 0);

// Puts the records of a run held in memory in `order`.
void SortInMemory(KeptRun& run, const KeptOrder& order);

}  // namespace lintrim
