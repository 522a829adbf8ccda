// Loading a list into the partitions on every worker thread, a stretch of
// whole pieces at a time. The stretch is cut into as many parts as there
// are threads, each part into pieces with their hashes; then each thread
// copies the lines that fall into its own share of the partitions, every
// thread walking all pieces in load order, so each partition still gets its
// lines in load order. The job's thread follows the pieces for progress.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "load/LineFilter.h"
#include "load/LineKey.h"
#include "partition/PartitionSet.h"
#include "read/ListReader.h"

class StretchLoader {
public:
    // Lines of input lists that `filter` drops are left out; lines go to
    // their partitions by the hash of their `key`.
    StretchLoader(PartitionSet& partitions, const LineFilter& filter, LineKey key,
                  unsigned threads);

    // What a piece was: empty, a line loaded, or a line left out as the
    // single line or for its length.
    enum Kind : uint8_t { kEmpty = 0, kLine = 1, kSingle = 2, kLength = 3 };

    // Loads one stretch of a list whose lines get `referenceBit` in their
    // index (the lines of a reference list are never filtered). Then calls
    // onPiece(kind, offsetAfter) for every piece in order.
    template <typename OnPiece>
    void Load(const PieceStretch& stretch, uint64_t fileSize, uint64_t referenceBit,
              OnPiece&& onPiece);

private:
    struct Piece {
        uint64_t hash;
        uint64_t start;  // in the stretch
        uint32_t length;
        uint8_t kind;
    };

    void Cut(const PieceStretch& stretch, bool reference);
    void CutPart(const PieceStretch& stretch, size_t begin, size_t end, bool final, bool reference,
                 std::vector<Piece>& pieces) const;
    void Scatter(const PieceStretch& stretch, uint64_t referenceBit);

    PartitionSet& m_partitions;
    const LineFilter& m_filter;
    LineKey m_key;
    unsigned m_threads;
    std::vector<std::vector<Piece>> m_parts;
    uint64_t m_nextIndex = 0;
};

template <typename OnPiece>
void StretchLoader::Load(const PieceStretch& stretch, uint64_t fileSize, uint64_t referenceBit,
                         OnPiece&& onPiece) {
    Cut(stretch, referenceBit != 0);
    Scatter(stretch, referenceBit);
    // A piece ends where the next begins; the last ends the stretch, or the
    // file when it is the final piece.
    const Piece* previous = nullptr;
    for (const std::vector<Piece>& part : m_parts) {
        for (const Piece& piece : part) {
            if (previous) onPiece(previous->kind, stretch.offset + piece.start);
            previous = &piece;
        }
    }
    if (previous) onPiece(previous->kind, stretch.last ? fileSize : stretch.offset + stretch.size);
}
