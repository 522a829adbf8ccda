// A binary heap of run cursors, keyed by each cursor's current record.
#include "RunMerge.h"

#include <algorithm>
#include <cstring>

#include "Record.h"

namespace {
// Orders heap entries so that the earliest record is on top.
struct Later {
    const std::vector<RunCursor>* cursors;
    KeptOrder order;
    bool operator()(size_t a, size_t b) const {
        return KeptBefore(order, (*cursors)[b].Current(), (*cursors)[a].Current());
    }
};

class CursorHeap {
public:
    CursorHeap(std::vector<RunCursor>& cursors, KeptOrder order)
        : m_cursors(cursors), m_order(order) {
        for (size_t i = 0; i < cursors.size(); ++i)
            if (cursors[i].Current()) m_heap.push_back(i);
        std::make_heap(m_heap.begin(), m_heap.end(), Order());
    }

    bool Empty() const { return m_heap.empty(); }
    RunCursor& Top() { return m_cursors[m_heap.front()]; }

    // After the top cursor has moved on: it sinks to its place, or leaves.
    void Settle() {
        std::pop_heap(m_heap.begin(), m_heap.end(), Order());
        if (m_cursors[m_heap.back()].Current())
            std::push_heap(m_heap.begin(), m_heap.end(), Order());
        else
            m_heap.pop_back();
    }

private:
    Later Order() const { return {&m_cursors, m_order}; }

    std::vector<RunCursor>& m_cursors;
    KeptOrder m_order;
    std::vector<size_t> m_heap;
};
}  // namespace

void MergeRuns(const std::vector<Run>& runs, KeptOrder order, size_t chunkBytes, ListWriter& output,
               const char* lineEnd, uint64_t step, const std::function<void(uint64_t)>& onWritten) {
    std::vector<RunCursor> cursors;
    cursors.reserve(runs.size());
    for (const Run& run : runs) cursors.emplace_back(run, chunkBytes);
    const size_t endLength = std::strlen(lineEnd);
    CursorHeap heap(cursors, order);
    uint64_t written = 0;
    while (!heap.Empty()) {
        if (written % step == 0) onWritten(written);
        RunCursor& top = heap.Top();
        const char* kept = top.Current();
        output.Write(record::KeptLine(kept), record::Length(kept));
        output.Write(lineEnd, endLength);
        ++written;
        top.Advance();
        heap.Settle();
    }
}
