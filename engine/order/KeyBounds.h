// Keys that cut a sorted order into stretches of about equal size, so that
// the runs of a list on disk can be merged a stretch on each thread at once.
// They are taken from one run: every run holds the lines of one partition,
// chosen by hash, so each is a fair sample of all the list's lines, and one
// run's quantiles cut every run alike.
#pragma once

#include <cstdint>
#include <vector>

#include "runs/KeptRun.h"
#include "order/KeptKey.h"
#include "os/ByteBuffer.h"

namespace lintrim {

class KeyBounds {
public:
    explicit KeyBounds(const KeptOrder& order) : m_order(order) {}

    // Takes the bounds of `stretches` stretches at equal steps of `sorted`.
    void TakeFrom(const std::vector<KeptKey>& sorted, size_t stretches);
    // In file order: bounds at every `per` lines loaded, for `stretches`
    // stretches (the trail's, which a run in file order is cut by).
    void TakeLineSteps(uint64_t per, size_t stretches);
    bool Empty() const { return m_bounds.empty(); }
    size_t Stretches() const { return m_bounds.size() + 1; }
    // Whether kept record `kept` goes before bound b.
    bool Before(const char* kept, size_t b) const;

private:
    KeptOrder m_order;
    std::vector<ByteBuffer> m_bounds;  // copies of the bounding records
};

// Notes where each stretch of a sorted run lies in its file as the run's
// records are written one after another.
class StretchCutter {
public:
    StretchCutter(const KeyBounds& bounds, std::vector<Segment>& stretches, uint64_t start);
    // The next record, at `offset` in the run's file.
    void Add(const char* kept, uint64_t offset);
    // The run ends at `end`: the stretches not reached are empty there.
    void Finish(uint64_t end);
    // The stretch of the last record added.
    size_t At() const { return m_at; }

private:
    const KeyBounds& m_bounds;
    std::vector<Segment>& m_stretches;
    size_t m_at = 0;
};

}  // namespace lintrim
