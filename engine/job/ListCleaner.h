// The stages that clean one list, on any size: loading its lines into hash
// partitions (spilled to disk past the memory budget), grouping each
// partition's copies of a line, sorting the kept lines when asked, and
// writing them as a merge of the partitions' runs. The stages send their
// progress; the jobs say when each begins.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "group/KeptArena.h"
#include "group/SplitGroups.h"
#include "job/RunReporter.h"
#include "lintrim/RunEvents.h"
#include "load/LineFilter.h"
#include "load/StretchLoader.h"
#include "order/KeptKey.h"
#include "order/KeyBounds.h"
#include "os/RunContext.h"
#include "partition/PartitionSet.h"
#include "read/InputList.h"
#include "runs/KeptRun.h"
#include "write/LineOutput.h"

namespace lintrim {

// One file to load, with the text shown when it cannot be read.
struct ListSource {
    InputList* list;
    const char* failureText;
    bool reference;
};

class ListCleaner {
public:
    // `listPath` names the (first) list as chosen.
    ListCleaner(RunReporter& events, const RunContext& context, const std::string& listPath);

    // Loads the sources in order. Lines of the input lists that `filter`
    // drops are left out, and counted as removed (the single line) or as
    // filtered (for their length). Lines of one `key` are copies.
    void Load(const std::vector<ListSource>& sources, const LineFilter& filter, LineKey key);
    // Groups the copies of each line, keeping what `copies` says.
    void Group(KeptCopies copies);
    // Whether the kept lines must be put in `order` (file order is how
    // grouping leaves them, unless a partition was split).
    bool NeedsSort(const KeptOrder& order) const;
    // Puts each partition's kept lines in `order`.
    void Sort(const KeptOrder& order);
    // Writes the kept lines to `output`; the caller commits.
    void Write(const KeptOrder& order, LineOutput& output);
    // After grouping: which load indices (every non-empty line of every
    // source, in order) are written.
    std::vector<bool> KeptMask() const;

    // Lines loaded (input and reference lists).
    int64_t LinesRead() const { return m_read; }
    // What was read and removed, by reason.
    ListCounts Counts() const;
    // Describes the lists' own lines as they are loaded (ListCounts::stats).
    void DescribeLines() { m_describe = true; }
    // Keeps only the groups the set operation keeps.
    void KeepOnly(SetOperation op) { m_rule.op = op; }
    // The lines Write() writes, once grouped.
    uint64_t KeptLines() const;

private:
    void LoadOne(const ListSource& source, uint64_t before, uint64_t total);
    // The longest line a run holds within its budget.
    uint64_t LongestLine() const;
    // The reader's next stretch; a line too long to hold is refused, naming
    // its list, its number (after `linesBefore`) and its length.
    bool NextStretch(ListReader& reader, PieceStretch& stretch, uint64_t linesBefore,
                     const ListSource& source) const;
    // Groups partition p into its run, or into pieces when it is too large.
    GroupCounts GroupOne(unsigned p, const SplitGroups::Limits& limits);
    bool AnySplit() const;
    // The bytes each of `cursors` cursors over runs reads at a time, all of
    // them within a quarter of the budget.
    size_t ChunkFor(uint64_t cursors) const;
    // The bytes each cursor over the pieces of a split partition reads at a time.
    size_t PieceChunk(const KeptPieces& pieces) const;
    // How many stretches sorted runs on disk are cut into, so that a wave of
    // merged stretches waiting for the output stays within the budget.
    size_t MergeStretches() const;
    // The bytes of the partitions' records.
    uint64_t RecordBytes() const;
    // Cuts the trail into stretches for runs on disk in file order.
    void CutTrail();
    // How many cursors over runs on disk a merge may hold at once.
    size_t CursorsThatFit() const;
    // Whether `runs` runs cut into `stretches` stretches each may be merged
    // a stretch at a time on every thread within the budget.
    bool MergesInStretches(uint64_t runs, uint64_t stretches) const;
    // Merges the runs on the job's thread, fewer of them first when they
    // are too many to read at once.
    void MergeFewerRuns(const KeptOrder& order, LineOutput& output,
                        const std::function<void(uint64_t)>& onWritten);
    // How many stretches a run of `bytes` bytes on disk is cut into.
    size_t StretchesFor(uint64_t bytes) const;
    // Sorts run r on disk, or merges its pieces, cutting it by m_bounds.
    void SortOnDisk(size_t r, const KeptOrder& order, size_t takeStretches);

    RunReporter& m_events;
    unsigned m_threads;
    std::string m_tempFolder;
    uint64_t m_budget;
    uint64_t m_loadBudget = 0;  // the budget less the lists' largest decoder
    uint64_t m_longestLoaded = 0;
    std::optional<PartitionSet> m_partitions;
    std::optional<StretchLoader> m_loader;
    PartitionTrail m_trail;
    LineFilter m_filter;
    LineKey m_key;
    // Before the runs, which it may hold the memory of.
    std::optional<KeptArena> m_keptArena;
    std::vector<KeptRun> m_runs;
    std::vector<KeptPieces> m_pieces;  // of the partitions split into pieces
    int64_t m_read = 0;
    int64_t m_referenceRead = 0;
    bool m_describe = false;
    KeepRule m_rule;
    LineStats m_stats;
    GroupCounts m_grouped;
    int64_t m_skipped = 0;
    int64_t m_filtered = 0;
    int64_t m_classFiltered = 0;
    KeptCopies m_copies = KeptCopies::kFirst;
    bool m_everyCopy = false;
    bool m_spilled = false;
    std::vector<KeptKey> m_sorted;      // the kept lines in order, for a list held in memory
    std::optional<KeyBounds> m_bounds;  // the stretches of sorted runs on disk
    // The stretches of the trail that runs on disk in file order are cut by.
    std::optional<KeyBounds> m_lineBounds;
    uint64_t m_linesPerStretch = 0;
};

}  // namespace lintrim
