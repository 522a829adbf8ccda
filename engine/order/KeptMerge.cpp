// A binary heap of run cursors, keyed by each cursor's current record.
#include "order/KeptMerge.h"

#include <algorithm>
#include <optional>

#include "order/KeptKey.h"
#include "order/RunSort.h"
#include "os/ParallelStage.h"
#include "record/Record.h"
#include "write/StretchedOutput.h"

namespace lintrim {

namespace {
// A merged run goes to its file in blocks of this size.
constexpr size_t kMergedBlock = size_t{256} << 10;

// A heap entry: a cursor with the key of its current record.
struct Entry {
    KeptKey key;
    size_t cursor;
};

// The earliest entry stays on top: a binary min-heap.
class CursorHeap {
public:
    CursorHeap(std::vector<KeptRunCursor>& cursors, const KeptOrder& order)
        : m_cursors(cursors), m_order(order) {
        for (size_t i = 0; i < cursors.size(); ++i)
            if (cursors[i].Current())
                m_heap.push_back({KeptKey::Of(order, cursors[i].Current()), i});
        for (size_t i = m_heap.size() / 2; i-- > 0;) SiftDown(i);
    }

    bool Empty() const { return m_heap.empty(); }
    const char* Top() const { return m_heap.front().key.kept; }

    // Moves the top cursor on; it sinks to its place, or leaves.
    void Advance() {
        KeptRunCursor& cursor = m_cursors[m_heap.front().cursor];
        cursor.Advance();
        if (cursor.Current()) {
            m_heap.front().key = KeptKey::Of(m_order, cursor.Current());
        } else {
            m_heap.front() = m_heap.back();
            m_heap.pop_back();
        }
        if (!m_heap.empty()) SiftDown(0);
    }

private:
    bool Before(const Entry& a, const Entry& b) const {
        return KeptKeyBefore{m_order}(a.key, b.key);
    }

    void SiftDown(size_t i) {
        const size_t n = m_heap.size();
        const Entry moving = m_heap[i];
        for (;;) {
            size_t child = 2 * i + 1;
            if (child >= n) break;
            if (child + 1 < n && Before(m_heap[child + 1], m_heap[child])) ++child;
            if (!Before(m_heap[child], moving)) break;
            m_heap[i] = m_heap[child];
            i = child;
        }
        m_heap[i] = moving;
    }

    std::vector<KeptRunCursor>& m_cursors;
    KeptOrder m_order;
    std::vector<Entry> m_heap;
};
}  // namespace

namespace {
std::vector<KeptRunCursor> CursorsOver(const std::vector<KeptRun>& runs, size_t chunkBytes) {
    std::vector<KeptRunCursor> cursors;
    cursors.reserve(runs.size());
    for (const KeptRun& run : runs) cursors.emplace_back(run, chunkBytes);
    return cursors;
}

// Sorts each piece in memory, into a new file.
void SortPieces(KeptPieces& pieces, const KeptOrder& order, const std::string& folder) {
    KeptPieces sorted;
    sorted.file = SpillFile::Create(folder);
    for (const Segment& segment : pieces.segments) {
        KeptRun run;
        run.bytes.Resize(segment.bytes);
        pieces.file.ReadAt(run.bytes.Data(), segment.bytes, segment.offset);
        SortInMemory(run, order);
        sorted.segments.push_back({sorted.file.Size(), segment.bytes, segment.records});
        sorted.file.Append(run.bytes.Data(), run.bytes.Size());
    }
    pieces = std::move(sorted);
}

// Stretches of at least this many lines, and at least this many for each
// thread, so that a thread that falls behind holds up little.
constexpr uint64_t kSmallestStretch = uint64_t{1} << 12;
constexpr uint64_t kStretchesPerThread = 8;

uint64_t StretchSize(uint64_t lines, unsigned threads) {
    return std::max(kSmallestStretch, lines / (kStretchesPerThread * std::max(threads, 1u)) + 1);
}

size_t StretchCount(uint64_t lines, uint64_t per) {
    return static_cast<size_t>((lines + per - 1) / per);
}

void WriteKept(const char* kept, bool everyCopy, LineOutput& output) {
    const uint64_t times = everyCopy ? record::Copies(kept) : 1;
    for (uint64_t copy = 0; copy < times; ++copy)
        output.Put(record::KeptLine(kept), record::Length(kept), record::Copies(kept));
}
}  // namespace

void WriteSorted(const std::vector<KeptKey>& sorted, bool everyCopy, unsigned threads,
                 LineOutput& output, uint64_t step,
                 const std::function<void(uint64_t)>& onWritten) {
    constexpr size_t kAhead = 8;  // the records lie scattered: ask for them early
    const uint64_t per = StretchSize(sorted.size(), threads);
    WriteInStretches(output, StretchCount(sorted.size(), per), threads, step, onWritten,
                     [&](size_t s, LineOutput& to) {
                         const size_t end = std::min<size_t>(sorted.size(), (s + 1) * per);
                         for (size_t i = s * per; i < end; ++i) {
                             if (i + kAhead < end) __builtin_prefetch(sorted[i + kAhead].kept);
                             WriteKept(sorted[i].kept, everyCopy, to);
                         }
                         return end - s * per;
                     });
}

// Where each run's first record at or after the start of each stretch of
// the trail lies: stretch s's offsets are at [s * runs, (s + 1) * runs).
std::vector<uint64_t> StretchStarts(const std::vector<KeptRun>& runs, uint64_t per,
                                    size_t stretches, unsigned threads) {
    std::vector<uint64_t> starts(stretches * runs.size());
    RunParallel(
        runs.size(), threads,
        [&](size_t r) {
            const ByteBuffer& bytes = runs[r].bytes;
            size_t at = 0;
            size_t s = 0;
            for (; at < bytes.Size(); at += record::KeptSize(bytes.Data() + at)) {
                const uint64_t index = record::Index(bytes.Data() + at) & ~record::kReferenceBit;
                for (; s < stretches && index >= s * per; ++s) starts[s * runs.size() + r] = at;
            }
            for (; s < stretches; ++s) starts[s * runs.size() + r] = at;
        },
        [] {});
    return starts;
}

void FollowTrailInStretches(const std::vector<KeptRun>& runs, const PartitionTrail& trail,
                            unsigned threads, LineOutput& output, uint64_t step,
                            const std::function<void(uint64_t)>& onWritten) {
    const uint64_t per = StretchSize(trail.Size(), threads);
    const size_t stretches = StretchCount(trail.Size(), per);
    const std::vector<uint64_t> starts = StretchStarts(runs, per, stretches, threads);
    const uint16_t* entries = trail.Memory();
    WriteInStretches(output, stretches, threads, step, onWritten, [&](size_t s, LineOutput& to) {
        std::vector<uint64_t> at(starts.begin() + static_cast<ptrdiff_t>(s * runs.size()),
                                 starts.begin() + static_cast<ptrdiff_t>((s + 1) * runs.size()));
        const uint64_t end = std::min<uint64_t>(trail.Size(), (s + 1) * per);
        uint64_t lines = 0;
        for (uint64_t i = s * per; i < end; ++i) {
            const uint16_t partition = entries[i];
            if (partition == PartitionTrail::kLeftOut) continue;
            const ByteBuffer& bytes = runs[partition].bytes;
            if (at[partition] == bytes.Size()) continue;
            const char* kept = bytes.Data() + at[partition];
            if ((record::Index(kept) & ~record::kReferenceBit) != i) continue;
            WriteKept(kept, false, to);
            ++lines;
            at[partition] += record::KeptSize(kept);
        }
        return lines;
    });
}

void MergeRuns(const std::vector<KeptRun>& runs, const KeptOrder& order, bool everyCopy,
               size_t chunkBytes, LineOutput& output, uint64_t step,
               const std::function<void(uint64_t)>& onWritten) {
    std::vector<KeptRunCursor> cursors = CursorsOver(runs, chunkBytes);
    CursorHeap heap(cursors, order);
    uint64_t written = 0;
    while (!heap.Empty()) {
        if (written % step == 0) onWritten(written);
        WriteKept(heap.Top(), everyCopy, output);
        ++written;
        heap.Advance();
    }
}

// A run's next kept line is the one loaded at this place of the trail when
// its index is the trail's position: its other lines were copies. Writes
// the kept lines loaded at [from, until), the reader standing at `from`;
// calls beforeEach() before each; returns how many it wrote.
namespace {
template <typename BeforeEach>
uint64_t FollowStretch(std::vector<KeptRunCursor>& cursors, PartitionTrail::Reader& reader,
                       uint64_t from, uint64_t until, LineOutput& output, BeforeEach&& beforeEach) {
    uint64_t lines = 0;
    for (uint64_t i = from; i < until; ++i) {
        const uint16_t partition = reader.Next();
        if (partition == PartitionTrail::kLeftOut) continue;
        KeptRunCursor& cursor = cursors[partition];
        const char* kept = cursor.Current();
        if (!kept || (record::Index(kept) & ~record::kReferenceBit) != i) continue;
        beforeEach();
        WriteKept(kept, false, output);
        ++lines;
        cursor.Advance();
    }
    return lines;
}
}  // namespace

void FollowTrail(const std::vector<KeptRun>& runs, const PartitionTrail& trail, size_t chunkBytes,
                 LineOutput& output, uint64_t step,
                 const std::function<void(uint64_t)>& onWritten) {
    std::vector<KeptRunCursor> cursors = CursorsOver(runs, chunkBytes);
    PartitionTrail::Reader reader(trail);
    uint64_t written = 0;
    FollowStretch(cursors, reader, 0, trail.Size(), output, [&] {
        if (written % step == 0) onWritten(written);
        ++written;
    });
}

void FollowTrailOnDisk(const std::vector<KeptRun>& runs, const PartitionTrail& trail, uint64_t per,
                       size_t stretches, unsigned threads, size_t chunkBytes, LineOutput& output,
                       uint64_t step, const std::function<void(uint64_t)>& onWritten) {
    WriteInStretches(output, stretches, threads, step, onWritten, [&](size_t s, LineOutput& to) {
        std::vector<KeptRunCursor> cursors;
        cursors.reserve(runs.size());
        for (const KeptRun& run : runs)
            cursors.emplace_back(
                run.file,
                run.stretches.empty() ? Segment{0, run.file.Size(), run.records} : run.stretches[s],
                chunkBytes);
        const uint64_t from = s * per;
        const uint64_t until = std::min(trail.Size(), from + per);
        PartitionTrail::Reader reader(trail, from, until);
        return FollowStretch(cursors, reader, from, until, to, [] {});
    });
}

void MergeRunsInStretches(const std::vector<KeptRun>& runs, const KeyBounds& bounds,
                          const KeptOrder& order, bool everyCopy, unsigned threads,
                          size_t chunkBytes, LineOutput& output, uint64_t step,
                          const std::function<void(uint64_t)>& onWritten) {
    WriteInStretches(
        output, bounds.Stretches(), threads, step, onWritten, [&](size_t s, LineOutput& to) {
            std::vector<KeptRunCursor> cursors;
            cursors.reserve(runs.size());
            for (const KeptRun& run : runs)
                cursors.emplace_back(run.file, run.stretches[s], chunkBytes);
            uint64_t lines = 0;
            for (CursorHeap heap(cursors, order); !heap.Empty(); heap.Advance(), ++lines)
                WriteKept(heap.Top(), everyCopy, to);
            return lines;
        });
}

namespace {
// The records of `cursors` merged in `order` as one run in a new file in
// `folder`, cut into the stretches of `bounds` when it has any.
KeptRun MergeIntoRun(std::vector<KeptRunCursor>& cursors, const KeptOrder& order,
                     const std::string& folder, const KeyBounds* bounds) {
    KeptRun run;
    run.file = SpillFile::Create(folder);
    std::optional<StretchCutter> cutter;
    if (bounds && !bounds->Empty()) cutter.emplace(*bounds, run.stretches, 0);
    ByteBuffer out;
    size_t stretch = 0;
    for (CursorHeap heap(cursors, order); !heap.Empty(); heap.Advance()) {
        if (cutter) {
            cutter->Add(heap.Top(), run.file.Size() + out.Size());
            // A stretch starts a block of the file, as KeptRun::Sort leaves it.
            if (cutter->At() != stretch) {
                run.file.Append(out.Data(), out.Size());
                out.Clear();
            }
            stretch = cutter->At();
        }
        out.Append(heap.Top(), record::KeptSize(heap.Top()));
        ++run.records;
        if (out.Size() < kMergedBlock) continue;
        run.file.Append(out.Data(), out.Size());
        out.Clear();
    }
    run.file.Append(out.Data(), out.Size());
    if (cutter) cutter->Finish(run.file.Size());
    return run;
}
}  // namespace

KeptRun MergePieces(KeptPieces& pieces, const KeptOrder& order, size_t chunkBytes,
                    const std::string& folder, const KeyBounds* bounds) {
    if (order.kind != OrderKind::File) SortPieces(pieces, order, folder);
    std::vector<KeptRunCursor> cursors;
    cursors.reserve(pieces.segments.size());
    for (const Segment& segment : pieces.segments)
        cursors.emplace_back(pieces.file, segment, chunkBytes);
    KeptRun run = MergeIntoRun(cursors, order, folder, bounds);
    cursors.clear();
    pieces = KeptPieces();
    return run;
}

void ReduceRuns(std::vector<KeptRun>& runs, const KeptOrder& order, size_t most, size_t chunkBytes,
                const std::string& folder) {
    const size_t fanIn = std::max<size_t>(most, 2);
    while (runs.size() > most) {
        std::vector<KeptRun> fewer;
        for (size_t first = 0; first < runs.size(); first += fanIn) {
            const size_t end = std::min(runs.size(), first + fanIn);
            std::vector<KeptRunCursor> cursors;
            cursors.reserve(end - first);
            for (size_t r = first; r < end; ++r) cursors.emplace_back(runs[r], chunkBytes);
            fewer.push_back(MergeIntoRun(cursors, order, folder, nullptr));
            cursors.clear();
            for (size_t r = first; r < end; ++r) runs[r] = KeptRun();  // its file goes back
        }
        runs = std::move(fewer);
    }
}

}  // namespace lintrim
