// Cutting in parallel, then scattering in parallel.
#include "load/StretchLoader.h"

#include <algorithm>
#include <cstring>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/ParallelStage.h"

namespace lintrim {

StretchLoader::StretchLoader(PartitionSet& partitions, const LineFilter& filter, LineKey key,
                             unsigned threads)
    : m_partitions(partitions),
      m_filter(filter),
      m_key(key),
      m_threads(threads),
      m_parts(threads) {}

// Parts end just after a line feed, so no piece straddles two parts.
void StretchLoader::Cut(const PieceStretch& stretch, bool reference) {
    std::vector<size_t> bounds{0};
    for (unsigned t = 1; t < m_threads; ++t) {
        size_t at = std::max(bounds.back(), stretch.size * t / m_threads);
        const void* feed =
            at < stretch.size ? std::memchr(stretch.data + at, '\n', stretch.size - at) : nullptr;
        at = feed ? static_cast<size_t>(static_cast<const char*>(feed) - stretch.data) + 1
                  : stretch.size;
        bounds.push_back(at);
    }
    bounds.push_back(stretch.size);
    RunParallel(
        m_threads, m_threads,
        [&](size_t t) {
            // The final piece belongs to the first part that reaches the end.
            const bool reachesEnd = bounds[t + 1] == stretch.size;
            const bool final = stretch.last && reachesEnd && (t == 0 || bounds[t] < stretch.size);
            CutPart(stretch, bounds[t], bounds[t + 1], final, reference, m_parts[t]);
        },
        [] {});
}

void StretchLoader::CutPart(const PieceStretch& stretch, size_t begin, size_t end, bool final,
                            bool reference, Part& part) const {
    part.pieces.clear();
    part.trail.clear();
    part.routes.resize(m_threads);
    for (std::vector<Route>& routes : part.routes) routes.clear();
    const char* data = stretch.data;
    auto add = [&](size_t start, uint64_t length) {
        if (length > kLongestPiece) ThrowLineTooLong();
        const char* line = data + start;
        uint8_t kind = length > 0 ? kLine : kEmpty;
        m_filter.Trim(line, length);
        if (kind == kLine && length == 0) kind = kLength;  // blanks only
        if (kind == kLine && !reference) {
            const LineFilter::Verdict verdict = m_filter.Judge(line, length);
            if (verdict == LineFilter::Verdict::kSingle) kind = kSingle;
            if (verdict == LineFilter::Verdict::kLength) kind = kLength;
            if (verdict == LineFilter::Verdict::kClass) kind = kClass;
        }
        part.pieces.push_back({start, static_cast<uint32_t>(length), kind});
        if (kind == kEmpty) return;
        if (kind != kLine) {
            part.trail.push_back(PartitionTrail::kLeftOut);
            return;
        }
        const size_t p = m_partitions.PartitionOf(m_key.Hash(line, length));
        const auto number = static_cast<uint32_t>(part.trail.size());
        part.longest = std::max(part.longest, length);
        part.trail.push_back(static_cast<uint16_t>(p));
        part.routes[OwnerOf(p)].push_back(
            {static_cast<uint64_t>(line - data), static_cast<uint32_t>(length), number});
    };
    size_t p = begin;
    while (p < end) {
        const auto* feed = static_cast<const char*>(std::memchr(data + p, '\n', end - p));
        if (!feed) break;
        const size_t at = static_cast<size_t>(feed - data);
        add(p, LineBefore(data + p, at - p));
        p = at + 1;
    }
    if (final) add(p, LineBefore(data + p, end - p));
}

void StretchLoader::Scatter(const PieceStretch& stretch, uint64_t referenceBit) {
    std::vector<PartitionSet::Tally> tallies(m_threads);
    RunParallel(
        m_threads, m_threads,
        [&](size_t t) { ScatterTo(static_cast<unsigned>(t), stretch, referenceBit, tallies[t]); },
        [] {});
    for (const Part& part : m_parts) {
        m_partitions.Trail().Append(part.trail.data(), part.trail.size());
        m_nextIndex += part.trail.size();
        m_longest = std::max(m_longest, part.longest);
    }
    if (m_nextIndex >= record::kReferenceBit) throw JobFailure(status::kNotEnoughMemory);
    // Charged at once, so that a spill foresees the disk from all the records made.
    PartitionSet::Tally all;
    for (const PartitionSet::Tally& tally : tallies) {
        all.held += tally.held;
        all.recordBytes += tally.recordBytes;
    }
    m_partitions.Charge(all);
}

void StretchLoader::ScatterTo(unsigned thread, const PieceStretch& stretch, uint64_t referenceBit,
                              PartitionSet::Tally& tally) const {
    uint64_t base = m_nextIndex;
    for (const Part& part : m_parts) {
        for (const Route& route : part.routes[thread])
            m_partitions.Append(part.trail[route.line], stretch.data + route.start, route.length,
                                (base + route.line) | referenceBit, tally);
        base += part.trail.size();
    }
}

}  // namespace lintrim
