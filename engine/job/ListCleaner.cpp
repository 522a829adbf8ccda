// The cleaning stages over partitions and runs.
#include "job/ListCleaner.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>

#include "group/LineGroups.h"
#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "load/LineCensus.h"
#include "order/KeptMerge.h"
#include "order/KeptSort.h"
#include "order/RunSort.h"
#include "os/ParallelStage.h"
#include "read/ListReader.h"
#include "record/Record.h"

namespace lintrim {

namespace {
// Loading keeps this share of the budget for the partitions; the rest is
// for the read buffer, the grouping tables and the runs made meanwhile.
constexpr uint64_t kPartitionSharePercent = 60;
constexpr size_t kSmallestChunk = size_t{4} << 10;
constexpr size_t kLargestChunk = size_t{4} << 20;
// Lists are read in blocks of at most this share of the budget: a block's
// pieces, routes and trail take about three times its bytes again.
constexpr uint64_t kBlockShare = 24;
constexpr uint64_t kSmallestBlock = uint64_t{64} << 10;
// Sorted runs on disk are merged in at least this many stretches a thread,
// so that a thread that falls behind holds up little; and in no more than
// this many, each a cursor into every run.
constexpr uint64_t kStretchesPerMergeThread = 4;
constexpr uint64_t kMostMergeStretches = 4096;
// A run's stretch in file order is worth a block of its own from about
// this share of a block; the kept records of a word list take about this
// share of their partitions' records.
constexpr uint64_t kBlockShareOfRunStretch = 4;
constexpr uint64_t kKeptShareOfRecords = 2;
// What noting where one stretch of one run lies takes (its segment, and the
// block it starts in the run's file); all of them together take at most
// this share of the budget.
constexpr uint64_t kStretchNoteBytes = 48;
constexpr uint64_t kStretchNotesShare = 16;
// The regions of the kept lines' arena; a thread's records fill at least
// this many of them for the arena to pay.
constexpr size_t kKeptRegion = size_t{32} << 20;
constexpr uint64_t kKeptArenaShare = 2;
// A list's decoder (a zstd window, an xz dictionary) is held while the list
// loads: the partitions and blocks get what is left, at least this share.
constexpr uint64_t kSmallestLoadShare = 4;

// A line is held several times over while it is cleaned (read, loaded,
// grouped, merged, written): lines up to this share of the budget keep a
// run within it, and lines up to the floor within the budget's margin.
constexpr uint64_t kLongestLineShare = 8;
constexpr uint64_t kLongestLineFloor = uint64_t{1} << 20;

uint64_t LoadBudget(uint64_t budget, const std::vector<ListSource>& sources) {
    uint64_t decoder = 0;  // the lists are read one at a time
    for (const ListSource& source : sources)
        decoder = std::max(decoder, source.list->DecoderMemory());
    return std::max(budget > decoder ? budget - decoder : 0, budget / kSmallestLoadShare);
}

}  // namespace

ListCleaner::ListCleaner(RunReporter& events, const RunContext& context,
                         const std::string& listPath)
    : m_events(events),
      m_threads(context.threads),
      m_tempFolder(context.TempFolderFor(listPath)),
      m_budget(context.memoryBudget) {}

void ListCleaner::Load(const std::vector<ListSource>& sources, const LineFilter& filter,
                       LineKey key) {
    m_filter = filter;
    m_key = key;
    uint64_t total = 0;
    for (const ListSource& source : sources) total += source.list->Size();
    m_loadBudget = LoadBudget(m_budget, sources);
    m_partitions.emplace(PartitionSet::CountFor(total, m_budget, sources.size()),
                         m_loadBudget * kPartitionSharePercent / 100, m_tempFolder, total,
                         m_threads);
    m_loader.emplace(*m_partitions, m_filter, m_key, m_threads);
    uint64_t before = 0;
    for (const ListSource& source : sources) {
        LoadOne(source, before, total);
        before += source.list->Size();
    }
    m_longestLoaded = m_loader->Longest();
    m_loader.reset();  // its pieces are spent
}

void ListCleaner::LoadOne(const ListSource& source, uint64_t before, uint64_t total) {
    ListReader reader(*source.list, source.failureText,
                      std::max(m_loadBudget / kBlockShare, kSmallestBlock));
    reader.LimitLines(LongestLine());
    const uint64_t referenceBit = source.reference ? record::kReferenceBit : 0;
    if (!source.reference) m_rule.listStarts.push_back(static_cast<uint64_t>(m_read));
    uint64_t lines = 0;  // of this list, empty ones too, for a line too long to hold
    PieceStretch stretch{};
    while (NextStretch(reader, stretch, lines, source)) {
        if (m_describe && !source.reference)
            CountLines(stretch.data, stretch.size, stretch.last, m_stats);
        m_partitions->NoteLoaded(before + stretch.offset + stretch.size);
        m_loader->Load(stretch, reader.FileSize(), referenceBit, [&](uint8_t kind, uint64_t after) {
            ++lines;
            if (kind != StretchLoader::kEmpty) ++m_read;
            if (kind != StretchLoader::kEmpty && source.reference) ++m_referenceRead;
            if (kind == StretchLoader::kSingle) ++m_skipped;
            if (kind == StretchLoader::kLength) ++m_filtered;
            if (kind == StretchLoader::kClass) ++m_classFiltered;
            if (m_read % kLinesPerLoadReport == 0)
                m_events.Progress(Stage::kLoading, before + after, total, true);
        });
    }
}

uint64_t ListCleaner::LongestLine() const {
    return std::max(m_budget / kLongestLineShare, kLongestLineFloor);
}

bool ListCleaner::NextStretch(ListReader& reader, PieceStretch& stretch, uint64_t linesBefore,
                              const ListSource& source) const {
    try {
        return reader.Next(stretch);
    } catch (const LineOverLimit& over) {
        const std::string reason =
            "line " + std::to_string(linesBefore + 1) + " holds " + std::to_string(over.length) +
            " bytes; the memory budget holds lines of up to " + std::to_string(LongestLine());
        throw JobFailure(status::kLineOverBudget, FailureCause{0, reason, nullptr})
            .Naming(source.list->Name());
    }
}

void ListCleaner::Group(KeptCopies copies) {
    PartitionSet& partitions = *m_partitions;
    const unsigned count = partitions.Count();
    m_runs = std::vector<KeptRun>(count);
    m_pieces = std::vector<KeptPieces>(count);
    m_copies = copies;
    m_everyCopy = copies != KeptCopies::kFirst;
    const uint64_t groupBytes = PartitionSet::GroupLimit(m_budget);
    const unsigned fanOut = PartitionSet::SplitFanOut(m_threads);
    const SplitGroups::Limits limits{groupBytes, fanOut,
                                     std::max<size_t>(groupBytes / fanOut / 2, kSmallestChunk),
                                     m_tempFolder, &m_rule};
    std::vector<GroupCounts> counts(count);
    std::atomic<uint64_t> grouped{0};
    uint64_t total = 0;
    for (unsigned p = 0; p < count; ++p) {
        total += partitions.RecordsIn(p);
        m_spilled = m_spilled || partitions.BytesIn(p) > groupBytes;
    }
    m_spilled = m_spilled || partitions.Spilled();
    if (m_spilled) CutTrail();
    // Runs held in memory large enough for huge pages to pay keep their
    // lines in an arena.
    if (!m_spilled && RecordBytes() >= m_threads * kKeptArenaShare * kKeptRegion)
        m_keptArena.emplace(kKeptRegion, true);
    RowReporter reporter(m_events, Stage::kGrouping, total);
    reporter.SkipStart();
    RunParallel(
        count, m_threads,
        [&](size_t p) {
            const uint64_t records = partitions.RecordsIn(static_cast<unsigned>(p));
            counts[p] = GroupOne(static_cast<unsigned>(p), limits);
            grouped += records;
        },
        [&] { reporter.At(grouped.load()); });
    for (const GroupCounts& c : counts) m_grouped += c;
    m_trail = std::move(partitions.Trail());
    m_partitions.reset();
    // The partitions' slabs went back to the heap in small pieces; hand the
    // pages to the system, so that sorting and writing start from the runs.
    ::malloc_trim(0);
}

GroupCounts ListCleaner::GroupOne(unsigned p, const SplitGroups::Limits& limits) {
    PartitionSet& partitions = *m_partitions;
    if (partitions.BytesIn(p) > limits.groupBytes) {
        SplitGroups split(limits, m_copies, m_key, partitions.FreeHashBit());
        partitions.Drain(p, [&](const char* r) { split.Add(r); });
        const GroupCounts counts = split.GroupInto(m_pieces[p]);
        for (const Segment& segment : m_pieces[p].segments) m_runs[p].records += segment.records;
        return counts;
    }
    LineGroups groups(m_copies, m_key, &m_rule, m_keptArena ? &*m_keptArena : nullptr);
    groups.Reserve(partitions.RecordsIn(p), partitions.BytesIn(p));
    partitions.Drain(p, [&](const char* r) { groups.Add(r); });
    m_runs[p] = groups.TakeRun();
    if (m_spilled) SpillInStretches(m_runs[p], m_tempFolder, &*m_lineBounds);
    return groups.Counts();
}

ListCounts ListCleaner::Counts() const {
    ListCounts counts;
    counts.read = m_read;
    counts.filtered = m_filtered;
    counts.classFiltered = m_classFiltered;
    counts.referenceRead = m_referenceRead;
    counts.repeats = m_grouped.dupes - m_grouped.referenceDupes - m_grouped.setDupes;
    counts.setHits = m_grouped.setHits;
    counts.referenceHits = m_grouped.referenceHits;
    counts.referenceRepeats = m_grouped.referenceDupes;
    counts.setRepeats = m_grouped.setDupes;
    counts.singleHits = m_skipped;
    counts.stats = m_stats;
    return counts;
}

bool ListCleaner::AnySplit() const {
    return std::any_of(m_pieces.begin(), m_pieces.end(),
                       [](const KeptPieces& pieces) { return !pieces.segments.empty(); });
}

bool ListCleaner::NeedsSort(const KeptOrder& order) const {
    return order.kind != OrderKind::File || AnySplit();
}

void ListCleaner::Sort(const KeptOrder& order) {
    if (!NeedsSort(order)) return;
    if (!m_spilled) {
        m_sorted = SortKept(m_runs, order, m_threads);
        RowReporter reporter(m_events, Stage::kOrdering, m_sorted.size());
        reporter.SkipStart();
        reporter.At(m_sorted.size());
        return;
    }
    std::atomic<uint64_t> sorted{0};
    RowReporter reporter(m_events, Stage::kOrdering, KeptLines());
    reporter.SkipStart();
    // The bounds of the stretches come from one run sorted alone; the
    // others are cut by them.
    m_bounds.emplace(order);
    size_t first = 0;
    while (first < m_runs.size() && !m_pieces[first].segments.empty()) ++first;
    const size_t stretches = MergeStretches();
    const bool stretched = MergesInStretches(m_runs.size(), stretches);
    if (order.kind != OrderKind::File && first < m_runs.size()) {
        SortOnDisk(first, order, stretched ? stretches : 0);
        sorted += m_runs[first].records;
        reporter.At(sorted.load());
    }
    RunParallel(
        m_runs.size(), m_threads,
        [&](size_t r) {
            if (r == first && order.kind != OrderKind::File) return;
            SortOnDisk(r, order, 0);
            sorted += m_runs[r].records;
        },
        [&] { reporter.At(sorted.load()); });
}

void ListCleaner::SortOnDisk(size_t r, const KeptOrder& order, size_t takeStretches) {
    KeyBounds* bounds = order.kind == OrderKind::File ? &*m_lineBounds : &*m_bounds;
    if (m_pieces[r].segments.empty())
        lintrim::SortOnDisk(m_runs[r], order, m_tempFolder, bounds, takeStretches);
    else
        m_runs[r] = MergePieces(m_pieces[r], order, PieceChunk(m_pieces[r]), m_tempFolder, bounds);
}

// The runs' stretches in file order are those of the trail, cut before the
// runs are made; the partitions' records are at most what the runs take.
// Each stretch of a run starts a block of its file: where the budget is so
// small against the list that they would be tiny, the trail is followed on
// one thread instead.
uint64_t ListCleaner::RecordBytes() const {
    uint64_t bytes = 0;
    for (unsigned p = 0; p < m_partitions->Count(); ++p) bytes += m_partitions->BytesIn(p);
    return bytes;
}

void ListCleaner::CutTrail() {
    const uint64_t bytes = RecordBytes();
    size_t stretches = StretchesFor(bytes);
    const uint64_t perRun = bytes / kKeptShareOfRecords / m_partitions->Count();
    if (perRun / stretches < SpillFile::BlockBytes() / kBlockShareOfRunStretch) stretches = 1;
    if (!MergesInStretches(m_partitions->Count(), stretches)) stretches = 1;
    m_linesPerStretch = m_partitions->Trail().Size() / stretches + 1;
    m_lineBounds.emplace(KeptOrder{OrderKind::File, m_key, {}});
    m_lineBounds->TakeLineSteps(m_linesPerStretch, stretches);
}

size_t ListCleaner::MergeStretches() const {
    uint64_t bytes = 0;
    for (size_t r = 0; r < m_runs.size(); ++r)
        bytes += m_runs[r].file.Size() + m_pieces[r].file.Size();
    return StretchesFor(bytes);
}

size_t ListCleaner::StretchesFor(uint64_t bytes) const {
    const uint64_t threads = m_threads;
    // A wave holds two stretches a thread, of up to twice their records'
    // bytes in the output's form: a quarter of the budget at most.
    const uint64_t wanted = bytes * 2 * 2 * threads / std::max<uint64_t>(m_budget / 4, 1) + 1;
    return static_cast<size_t>(
        std::clamp<uint64_t>(wanted, kStretchesPerMergeThread * threads, kMostMergeStretches));
}

void ListCleaner::Write(const KeptOrder& order, LineOutput& output) {
    const uint64_t kept = KeptLines();
    const size_t chunk = ChunkFor(m_runs.size());
    RowReporter reporter(m_events, Stage::kWriting, kept);
    reporter.At(0);
    auto onWritten = [&](uint64_t written) { reporter.At(written); };
    if (!m_spilled && order.kind != OrderKind::File)
        WriteSorted(m_sorted, m_everyCopy, m_threads, output, kRowsPerReport, onWritten);
    else if (order.kind == OrderKind::File && !m_spilled && m_trail.InMemory())
        FollowTrailInStretches(m_runs, m_trail, m_threads, output, kRowsPerReport, onWritten);
    else if (order.kind == OrderKind::File && !m_lineBounds->Empty())
        FollowTrailOnDisk(m_runs, m_trail, m_linesPerStretch, m_lineBounds->Stretches(), m_threads,
                          ChunkFor(m_runs.size() * m_threads), output, kRowsPerReport, onWritten);
    else if (order.kind == OrderKind::File && m_runs.size() <= CursorsThatFit())
        FollowTrail(m_runs, m_trail, chunk, output, kRowsPerReport, onWritten);
    else if (order.kind != OrderKind::File && m_bounds && !m_bounds->Empty())
        MergeRunsInStretches(m_runs, *m_bounds, order, m_everyCopy, m_threads,
                             ChunkFor(m_runs.size() * m_threads), output, kRowsPerReport,
                             onWritten);
    else
        MergeFewerRuns(order, output, onWritten);
    std::vector<KeptKey>().swap(m_sorted);
    m_runs.clear();
}

// Too many runs to read at once within the budget are merged into fewer
// first; runs in file order are then merged by their lines' places, as the
// trail no longer tells the runs apart.
void ListCleaner::MergeFewerRuns(const KeptOrder& order, LineOutput& output,
                                 const std::function<void(uint64_t)>& onWritten) {
    const size_t fit = CursorsThatFit();
    if (m_runs.size() > fit) ReduceRuns(m_runs, order, fit, ChunkFor(fit), m_tempFolder);
    MergeRuns(m_runs, order, m_everyCopy, ChunkFor(m_runs.size()), output, kRowsPerReport,
              onWritten);
}

// A cursor over a run on disk holds its chunk and, at its end, the start of
// a record it reads on for: runs read at once must fit a quarter of the
// budget with records as long as the longest line.
size_t ListCleaner::CursorsThatFit() const {
    const uint64_t cursor = kSmallestChunk + 2 * (record::kKeptHeadSize + m_longestLoaded);
    return static_cast<size_t>(std::max<uint64_t>(m_budget / 4 / cursor, 2));
}

// Merging in stretches reads every run on every thread at once, and notes
// where each stretch of each run lies.
bool ListCleaner::MergesInStretches(uint64_t runs, uint64_t stretches) const {
    return runs * m_threads <= CursorsThatFit() &&
           runs * stretches * kStretchNoteBytes <= m_budget / kStretchNotesShare;
}

// Every copy of a line is written when every copy is kept: then the trail
// tells the lines loaded from those left out.
std::vector<bool> ListCleaner::KeptMask() const {
    std::vector<bool> kept(static_cast<size_t>(m_read), false);
    // Every copy loaded is kept, unless a reference list held its line.
    if (m_everyCopy && m_copies != KeptCopies::kApartMatched) {
        PartitionTrail::Reader reader(m_trail);
        for (uint64_t i = 0; i < m_trail.Size(); ++i)
            kept[i] = reader.Next() != PartitionTrail::kLeftOut;
        return kept;
    }
    for (const KeptRun& run : m_runs)
        for (KeptRunCursor cursor(run, ChunkFor(1)); cursor.Current(); cursor.Advance())
            kept[record::Index(cursor.Current()) & ~record::kReferenceBit] = true;
    return kept;
}

size_t ListCleaner::ChunkFor(uint64_t cursors) const {
    return static_cast<size_t>(std::clamp<uint64_t>(m_budget / 4 / std::max<uint64_t>(cursors, 1),
                                                    kSmallestChunk, kLargestChunk));
}

// Threads merge their partitions' pieces at once.
size_t ListCleaner::PieceChunk(const KeptPieces& pieces) const {
    return ChunkFor(pieces.segments.size() * m_threads);
}

uint64_t ListCleaner::KeptLines() const {
    uint64_t kept = 0;
    for (const KeptRun& run : m_runs) kept += run.records;
    return kept;
}

}  // namespace lintrim
