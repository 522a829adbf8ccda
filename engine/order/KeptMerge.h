// Writing a list's kept lines: the merge of its runs in the order asked.
// Each run is already in that order, and no line stands in two runs.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "group/SplitGroups.h"
#include "order/KeptKey.h"
#include "order/KeyBounds.h"
#include "partition/PartitionTrail.h"
#include "runs/KeptRun.h"
#include "write/LineOutput.h"

namespace lintrim {

// Writes the kept lines in the order of `sorted`, stretches of it on each
// of `threads` threads; as MergeRuns otherwise.
void WriteSorted(const std::vector<KeptKey>& sorted, bool everyCopy, unsigned threads,
                 LineOutput& output, uint64_t step, const std::function<void(uint64_t)>& onWritten);

// Writes every kept line of runs in file order, following the trail of the
// partitions the lines were loaded into, on the caller's thread; as
// MergeRuns otherwise.
void FollowTrail(const std::vector<KeptRun>& runs, const PartitionTrail& trail, size_t chunkBytes,
                 LineOutput& output, uint64_t step, const std::function<void(uint64_t)>& onWritten);

// Writes every kept line of runs held in memory in file order, following
// the trail (held in memory) of the partitions the lines were loaded into,
// stretches of it on each of `threads` threads; as MergeRuns otherwise.
void FollowTrailInStretches(const std::vector<KeptRun>& runs, const PartitionTrail& trail,
                            unsigned threads, LineOutput& output, uint64_t step,
                            const std::function<void(uint64_t)>& onWritten);

// The same for runs on disk cut into `stretches` stretches of `per` lines
// of the trail (KeyBounds::TakeLineSteps; a run not cut is one stretch), the
// trail anywhere, each thread reading `chunkBytes` at a time from each run.
void FollowTrailOnDisk(const std::vector<KeptRun>& runs, const PartitionTrail& trail, uint64_t per,
                       size_t stretches, unsigned threads, size_t chunkBytes, LineOutput& output,
                       uint64_t step, const std::function<void(uint64_t)>& onWritten);

// Writes every kept line (with everyCopy, as many times as the list held
// it); calls onWritten with the kept lines written so far every `step` lines.
void MergeRuns(const std::vector<KeptRun>& runs, const KeptOrder& order, bool everyCopy,
               size_t chunkBytes, LineOutput& output, uint64_t step,
               const std::function<void(uint64_t)>& onWritten);

// MergeRuns for runs on disk cut into the same stretches of `bounds`: a
// stretch of every run merged on each of `threads` threads, each reading
// `chunkBytes` at a time from each run.
void MergeRunsInStretches(const std::vector<KeptRun>& runs, const KeyBounds& bounds,
                          const KeptOrder& order, bool everyCopy, unsigned threads,
                          size_t chunkBytes, LineOutput& output, uint64_t step,
                          const std::function<void(uint64_t)>& onWritten);

// The runs of a split partition, each in file order, as one run in `order`
// in a new file in `folder`, cut into the stretches of `bounds` when it has
// any; `pieces` is spent.
KeptRun MergePieces(KeptPieces& pieces, const KeptOrder& order, size_t chunkBytes,
                    const std::string& folder, const KeyBounds* bounds = nullptr);

// Merges the runs (each in `order`) a group at a time into runs on disk in
// `folder`, until no more than `most` are left, so that a merge of all of
// them reads from few enough runs at once for its budget; each cursor reads
// `chunkBytes` at a time. A run's stretches are not kept.
void ReduceRuns(std::vector<KeptRun>& runs, const KeptOrder& order, size_t most, size_t chunkBytes,
                const std::string& folder);

}  // namespace lintrim
