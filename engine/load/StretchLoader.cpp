// Cutting in parallel, then scattering in parallel.
#include "load/StretchLoader.h"

#include <cstring>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/ParallelStage.h"

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
                            bool reference, std::vector<Piece>& pieces) const {
    pieces.clear();
    const char* data = stretch.data;
    auto add = [&](size_t start, uint64_t length) {
        if (length > kLongestPiece) ThrowLineTooLong();
        const char* line = data + start;
        uint8_t kind = length > 0 ? kLine : kEmpty;
        if (kind == kLine && !reference) {
            const LineFilter::Verdict verdict = m_filter.Judge(line, length);
            if (verdict == LineFilter::Verdict::kSingle) kind = kSingle;
            if (verdict == LineFilter::Verdict::kLength) kind = kLength;
        }
        const uint64_t hash = kind == kLine ? m_key.Hash(line, length) : 0;
        pieces.push_back({hash, start, static_cast<uint32_t>(length), kind});
    };
    size_t p = begin;
    while (p < end) {
        const auto* feed = static_cast<const char*>(std::memchr(data + p, '\n', end - p));
        if (!feed) break;
        const size_t at = static_cast<size_t>(feed - data);
        add(p, (at > p && data[at - 1] == '\r') ? at - p - 1 : at - p);
        p = at + 1;
    }
    if (final) add(p, end - p);
}

void StretchLoader::Scatter(const PieceStretch& stretch, uint64_t referenceBit) {
    const size_t count = m_partitions.Count();
    std::vector<PartitionSet::Tally> tallies(m_threads);
    uint64_t lines = 0;
    RunParallel(
        m_threads, m_threads,
        [&](size_t t) {
            const size_t low = count * t / m_threads;
            const size_t high = count * (t + 1) / m_threads;
            PartitionTrail* trail = t == 0 ? &m_partitions.Trail() : nullptr;
            uint64_t index = m_nextIndex;
            for (const std::vector<Piece>& part : m_parts) {
                for (const Piece& piece : part) {
                    if (piece.kind == kEmpty) continue;
                    if (piece.kind != kLine) {
                        if (trail) trail->Append(PartitionTrail::kLeftOut);
                        ++index;
                        continue;
                    }
                    const size_t p = m_partitions.PartitionOf(piece.hash);
                    if (p >= low && p < high)
                        m_partitions.Append(p, stretch.data + piece.start, piece.length,
                                            index | referenceBit, tallies[t]);
                    if (trail) trail->Append(static_cast<uint16_t>(p));
                    ++index;
                }
            }
            if (t == 0) lines = index - m_nextIndex;
        },
        [] {});
    m_nextIndex += lines;
    if (m_nextIndex >= record::kReferenceBit) throw JobFailure(status::kNotEnoughMemory);
    // Charged at once, so that a spill foresees the disk from all the records made.
    PartitionSet::Tally all;
    for (const PartitionSet::Tally& tally : tallies) {
        all.held += tally.held;
        all.recordBytes += tally.recordBytes;
    }
    m_partitions.Charge(all);
}
