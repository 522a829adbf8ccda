// Loading a list into the partitions on every worker thread, a stretch of
// whole pieces at a time. The stretch is cut into as many parts as there
// are threads; each cutting thread hashes its pieces, notes each line's
// partition in its part of the trail and routes the line to the thread
// that owns its partition. Then each thread copies the lines routed to it,
// part after part, so each partition still gets its lines in load order and
// no thread looks at a line it does not copy. The job's thread follows the
// pieces for progress.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "load/LineFilter.h"
#include "load/LineKey.h"
#include "partition/PartitionSet.h"
#include "read/ListReader.h"

namespace lintrim {

class StretchLoader {
public:
    // Lines of input lists that `filter` drops are left out; lines go to
    // their partitions by the hash of their `key`.
    StretchLoader(PartitionSet& partitions, const LineFilter& filter, LineKey key,
                  unsigned threads);

    // What a piece was: empty, a line loaded, or a line left out as the
    // single line, for its length or for its classes.
    enum Kind : uint8_t { kEmpty = 0, kLine = 1, kSingle = 2, kLength = 3, kClass = 4 };

    // Loads one stretch of a list whose lines get `referenceBit` in their
    // index (the lines of a reference list are never filtered). Then calls
    // onPiece(kind, offsetAfter) for every piece in order.
    template <typename OnPiece>
    void Load(const PieceStretch& stretch, uint64_t fileSize, uint64_t referenceBit,
              OnPiece&& onPiece);
    // The length of the longest line loaded so far.
    uint64_t Longest() const { return m_longest; }

private:
    // A piece as cut, for the job's thread to follow.
    struct Piece {
        uint64_t start;  // in the stretch
        uint32_t length;
        uint8_t kind;
    };
    // A line on its way to the thread that owns its partition; `line`
    // counts the lines of its part before it, and finds its partition in
    // the part's trail.
    struct Route {
        uint64_t start;
        uint32_t length;
        uint32_t line;
    };
    // What one cutting thread made of its part of the stretch.
    struct Part {
        std::vector<Piece> pieces;
        std::vector<uint16_t> trail;             // one entry a line
        std::vector<std::vector<Route>> routes;  // by owning thread
        uint64_t longest = 0;                    // of the lines routed
    };

    void Cut(const PieceStretch& stretch, bool reference);
    void CutPart(const PieceStretch& stretch, size_t begin, size_t end, bool final, bool reference,
                 Part& part) const;
    void Scatter(const PieceStretch& stretch, uint64_t referenceBit);
    void ScatterTo(unsigned thread, const PieceStretch& stretch, uint64_t referenceBit,
                   PartitionSet::Tally& tally) const;
    // The thread that copies the lines of partition p.
    unsigned OwnerOf(size_t p) const {
        return static_cast<unsigned>(p * m_threads / m_partitions.Count());
    }

    PartitionSet& m_partitions;
    const LineFilter& m_filter;
    LineKey m_key;
    unsigned m_threads;
    std::vector<Part> m_parts;
    uint64_t m_nextIndex = 0;
    uint64_t m_longest = 0;
};

template <typename OnPiece>
void StretchLoader::Load(const PieceStretch& stretch, uint64_t fileSize, uint64_t referenceBit,
                         OnPiece&& onPiece) {
    Cut(stretch, referenceBit != 0);
    Scatter(stretch, referenceBit);
    // A piece ends where the next begins; the last ends the stretch, or the
    // file when it is the final piece.
    const Piece* previous = nullptr;
    for (const Part& part : m_parts) {
        for (const Piece& piece : part.pieces) {
            if (previous) onPiece(previous->kind, stretch.offset + piece.start);
            previous = &piece;
        }
    }
    if (previous) onPiece(previous->kind, stretch.last ? fileSize : stretch.offset + stretch.size);
}

}  // namespace lintrim
