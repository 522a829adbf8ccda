// Quantiles of one sorted run, and the stretches of every run they cut.
#include "order/KeyBounds.h"

#include "record/Record.h"

namespace lintrim {

void KeyBounds::TakeFrom(const std::vector<KeptKey>& sorted, size_t stretches) {
    m_bounds.clear();
    for (size_t s = 1; s < stretches && sorted.size() >= stretches; ++s) {
        const char* kept = sorted[sorted.size() * s / stretches].kept;
        m_bounds.emplace_back().Append(kept, record::KeptSize(kept));
    }
}

// A bound stands for the line loaded at its index: an empty kept record.
void KeyBounds::TakeLineSteps(uint64_t per, size_t stretches) {
    m_bounds.clear();
    for (size_t s = 1; s < stretches; ++s) {
        char* bound = m_bounds.emplace_back().Extend(record::kKeptHeadSize);
        record::WriteHead(bound, 0, s * per);
        record::SetCopies(bound, 0);
    }
}

bool KeyBounds::Before(const char* kept, size_t b) const {
    const KeptKeyBefore before{m_order};
    return before(KeptKey::Of(m_order, kept), KeptKey::Of(m_order, m_bounds[b].Data()));
}

StretchCutter::StretchCutter(const KeyBounds& bounds, std::vector<Segment>& stretches,
                             uint64_t start)
    : m_bounds(bounds), m_stretches(stretches) {
    m_stretches.assign(bounds.Stretches(), Segment{start, 0, 0});
}

void StretchCutter::Add(const char* kept, uint64_t offset) {
    while (m_at + 1 < m_stretches.size() && !m_bounds.Before(kept, m_at))
        m_stretches[++m_at].offset = offset;
    m_stretches[m_at].bytes += record::KeptSize(kept);
    ++m_stretches[m_at].records;
}

void StretchCutter::Finish(uint64_t end) {
    while (m_at + 1 < m_stretches.size()) m_stretches[++m_at].offset = end;
}

}  // namespace lintrim
