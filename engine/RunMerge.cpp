// A binary heap of run cursors, keyed by each cursor's current record.
#include "RunMerge.h"

#include <algorithm>
#include <cstring>

#include "Record.h"

namespace {
// A heap entry: a cursor with the sort key of its current record beside it,
// so that most comparisons never reach into the records.
struct Entry {
    uint64_t first;
    uint64_t second;
    const char* kept;
    size_t cursor;
};

uint64_t TextPrefix(const char* kept) {
    uint64_t word = 0;
    std::memcpy(&word, record::KeptLine(kept), std::min<uint32_t>(record::Length(kept), 8));
    return __builtin_bswap64(word);
}

Entry EntryFor(KeptOrder order, const char* kept, size_t cursor) {
    const uint64_t index = record::Index(kept) & ~record::kReferenceBit;
    switch (order) {
        case KeptOrder::Frequency:
            return {~record::Copies(kept), index, kept, cursor};
        case KeptOrder::Alphabetical:
            return {TextPrefix(kept), 0, kept, cursor};
        case KeptOrder::File:
            break;
    }
    return {index, 0, kept, cursor};
}

// The earliest entry stays on top: a binary min-heap.
class CursorHeap {
public:
    CursorHeap(std::vector<RunCursor>& cursors, KeptOrder order)
        : m_cursors(cursors), m_order(order) {
        for (size_t i = 0; i < cursors.size(); ++i)
            if (cursors[i].Current()) m_heap.push_back(EntryFor(order, cursors[i].Current(), i));
        for (size_t i = m_heap.size() / 2; i-- > 0;) SiftDown(i);
    }

    bool Empty() const { return m_heap.empty(); }
    const char* Top() const { return m_heap.front().kept; }

    // Moves the top cursor on; it sinks to its place, or leaves.
    void Advance() {
        RunCursor& cursor = m_cursors[m_heap.front().cursor];
        cursor.Advance();
        if (cursor.Current()) {
            m_heap.front() = EntryFor(m_order, cursor.Current(), m_heap.front().cursor);
        } else {
            m_heap.front() = m_heap.back();
            m_heap.pop_back();
        }
        if (!m_heap.empty()) SiftDown(0);
    }

private:
    bool Before(const Entry& a, const Entry& b) const {
        if (a.first != b.first) return a.first < b.first;
        if (a.second != b.second) return a.second < b.second;
        return m_order == KeptOrder::Alphabetical && KeptBefore(m_order, a.kept, b.kept);
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

    std::vector<RunCursor>& m_cursors;
    KeptOrder m_order;
    std::vector<Entry> m_heap;
};
}  // namespace

void MergeRuns(const std::vector<Run>& runs, KeptOrder order, size_t chunkBytes,
               ReplacementFile& output, const char* lineEnd, uint64_t step,
               const std::function<void(uint64_t)>& onWritten) {
    std::vector<RunCursor> cursors;
    cursors.reserve(runs.size());
    for (const Run& run : runs) cursors.emplace_back(run, chunkBytes);
    const size_t endLength = std::strlen(lineEnd);
    CursorHeap heap(cursors, order);
    uint64_t written = 0;
    while (!heap.Empty()) {
        if (written % step == 0) onWritten(written);
        const char* kept = heap.Top();
        output.Write(record::KeptLine(kept), record::Length(kept));
        output.Write(lineEnd, endLength);
        ++written;
        heap.Advance();
    }
}

// A run's next kept line is the one loaded at this place of the trail when
// its index is the trail's position: its other lines were copies.
void FollowTrail(const std::vector<Run>& runs, const PartitionTrail& trail, size_t chunkBytes,
                 ReplacementFile& output, const char* lineEnd, uint64_t step,
                 const std::function<void(uint64_t)>& onWritten) {
    std::vector<RunCursor> cursors;
    cursors.reserve(runs.size());
    for (const Run& run : runs) cursors.emplace_back(run, chunkBytes);
    const size_t endLength = std::strlen(lineEnd);
    PartitionTrail::Reader reader(trail);
    uint64_t written = 0;
    for (uint64_t i = 0; i < trail.Size(); ++i) {
        RunCursor& cursor = cursors[reader.Next()];
        const char* kept = cursor.Current();
        if (!kept || (record::Index(kept) & ~record::kReferenceBit) != i) continue;
        if (written % step == 0) onWritten(written);
        output.Write(record::KeptLine(kept), record::Length(kept));
        output.Write(lineEnd, endLength);
        ++written;
        cursor.Advance();
    }
}
