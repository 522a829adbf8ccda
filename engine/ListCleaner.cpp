// The cleaning stages over partitions and runs.
#include "ListCleaner.h"

#include <algorithm>
#include <atomic>

#include "EngineSettings.h"
#include "LineGroups.h"
#include "LineHash.h"
#include "ListReader.h"
#include "ParallelStage.h"
#include "ProgressScale.h"
#include "Record.h"
#include "RunMerge.h"

namespace {
// Loading keeps this share of the budget for the partitions; the rest is
// for the read buffer, the grouping tables and the runs made meanwhile.
constexpr uint64_t kPartitionSharePercent = 60;
constexpr size_t kSmallestChunk = size_t{64} << 10;
constexpr size_t kLargestChunk = size_t{4} << 20;

// Sends base + done * span / total each time `done` passes a multiple of
// the row step (and once at the start when `atStart`).
class RowReporter {
public:
    RowReporter(JobWindow& window, int base, int span, uint64_t total)
        : m_window(window), m_base(base), m_span(span), m_total(total) {}

    void At(uint64_t done) {
        const uint64_t step = done / progress::kRowStep;
        if (m_reported && step == m_step) return;
        m_reported = true;
        m_step = step;
        const uint64_t part = m_total ? done * static_cast<uint64_t>(m_span) / m_total : 0;
        m_window.SetProgressPos(m_base + static_cast<int>(part));
    }
    // Counts the start as reported, for stages that say nothing before work.
    void SkipStart() { m_reported = true; }

private:
    JobWindow& m_window;
    int m_base;
    int m_span;
    uint64_t m_total;
    bool m_reported = false;
    uint64_t m_step = 0;
};
}  // namespace

ListCleaner::ListCleaner(JobWindow& window, const std::string& listPath)
    : m_window(window), m_tempFolder(TempFolderFor(listPath)), m_budget(MemoryBudget()) {}

void ListCleaner::Load(const std::vector<ListSource>& sources, const LineFilter& filter,
                       ProgressSpan span) {
    m_filter = filter;
    uint64_t total = 0;
    for (const ListSource& source : sources) total += source.list->Size();
    m_partitions.emplace(PartitionSet::CountFor(total, m_budget),
                         m_budget * kPartitionSharePercent / 100, m_tempFolder, total);
    const float scale = total ? static_cast<float>(span.width / static_cast<double>(total)) : 0.0f;
    uint64_t before = 0;
    for (const ListSource& source : sources) {
        LoadOne(source, before, scale, span.base);
        before += source.list->Size();
    }
}

void ListCleaner::LoadOne(const ListSource& source, uint64_t before, float scale, int base) {
    ListReader reader(*source.list, source.failureText);
    const uint64_t referenceBit = source.reference ? record::kReferenceBit : 0;
    PartitionSet& partitions = *m_partitions;
    ForEachPiece(reader, [&](const char* line, uint64_t length, uint64_t after) {
        if (length > 0) {
            const auto length32 = static_cast<uint32_t>(length);
            const LineFilter::Verdict verdict =
                source.reference ? LineFilter::Verdict::kKeep : m_filter.Judge(line, length);
            if (verdict == LineFilter::Verdict::kKeep)
                partitions.Add(HashLine(line, length), line, length32,
                               static_cast<uint64_t>(m_read) | referenceBit);
            else
                ++(verdict == LineFilter::Verdict::kSingle ? m_skipped : m_filtered);
            ++m_read;
        }
        if (m_read % progress::kCountingStep == 0) {
            partitions.NoteLoaded(before + after);
            m_window.SetProgressPos(base + ScaledPosition(before + after, scale));
        }
    });
}

void ListCleaner::Group(bool everyCopy, ProgressSpan span) {
    PartitionSet& partitions = *m_partitions;
    const unsigned count = partitions.Count();
    m_runs = std::vector<Run>(count);
    std::vector<int64_t> dupes(count, 0);
    std::atomic<uint64_t> grouped{0};
    const bool spill = partitions.Spilled();
    uint64_t total = 0;
    for (unsigned p = 0; p < count; ++p) total += partitions.RecordsIn(p);
    RowReporter reporter(m_window, span.base, span.width, total);
    reporter.SkipStart();
    RunParallel(
        count, WorkerThreads(),
        [&](size_t p) {
            LineGroups groups(everyCopy);
            if (!everyCopy) groups.Reserve(partitions.RecordsIn(static_cast<unsigned>(p)));
            partitions.Drain(static_cast<unsigned>(p), [&](const char* r) { groups.Add(r); });
            m_runs[p] = groups.TakeRun();
            if (spill) m_runs[p].Spill(m_tempFolder);
            dupes[p] = groups.Dupes();
            grouped += partitions.RecordsIn(static_cast<unsigned>(p));
        },
        [&] { reporter.At(grouped.load()); });
    for (int64_t d : dupes) m_dupes += d;
    m_partitions.reset();
}

void ListCleaner::Sort(KeptOrder order, ProgressSpan span) {
    if (order == KeptOrder::File) return;
    std::atomic<uint64_t> sorted{0};
    RowReporter reporter(m_window, span.base, span.width, KeptLines());
    reporter.SkipStart();
    RunParallel(
        m_runs.size(), WorkerThreads(),
        [&](size_t r) {
            m_runs[r].Sort(order, m_tempFolder);
            sorted += m_runs[r].records;
        },
        [&] { reporter.At(sorted.load()); });
}

void ListCleaner::Write(KeptOrder order, ListWriter& output, const std::string& lineEnd) {
    const uint64_t kept = KeptLines();
    const size_t chunk = static_cast<size_t>(std::clamp<uint64_t>(
        m_budget / 4 / std::max<size_t>(m_runs.size(), 1), kSmallestChunk, kLargestChunk));
    RowReporter reporter(m_window, progress::kRestored, 1000, kept);
    reporter.At(0);
    MergeRuns(m_runs, order, chunk, output, lineEnd.c_str(), progress::kRowStep,
              [&](uint64_t written) { reporter.At(written); });
    m_runs.clear();
}

std::vector<bool> ListCleaner::KeptMask() const {
    std::vector<bool> kept(static_cast<size_t>(m_read), false);
    for (const Run& run : m_runs)
        for (RunCursor cursor(run, kSmallestChunk); cursor.Current(); cursor.Advance())
            kept[record::Index(cursor.Current()) & ~record::kReferenceBit] = true;
    return kept;
}

uint64_t ListCleaner::KeptLines() const {
    uint64_t kept = 0;
    for (const Run& run : m_runs) kept += run.records;
    return kept;
}
