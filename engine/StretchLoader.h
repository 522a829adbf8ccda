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

#include "ListReader.h"
#include "PartitionSet.h"

class StretchLoader {
public:
    // Lines equal to `skip` are left out.
    StretchLoader(PartitionSet& partitions, const std::optional<std::string>& skip,
                  unsigned threads);

    // Loads one stretch of a list whose lines get `referenceBit` in their
    // index. Then calls onPiece(line, offsetAfter) for every piece in order,
    // where line is 0 for an empty piece, 1 for a loaded line, 2 for a
    // skipped one.
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
    enum : uint8_t { kEmpty = 0, kLine = 1, kSkipped = 2 };

    void Cut(const PieceStretch& stretch);
    void CutPart(const PieceStretch& stretch, size_t begin, size_t end, bool final,
                 std::vector<Piece>& pieces) const;
    void Scatter(const PieceStretch& stretch, uint64_t referenceBit);

    PartitionSet& m_partitions;
    const std::optional<std::string>& m_skip;
    unsigned m_threads;
    std::vector<std::vector<Piece>> m_parts;
    uint64_t m_nextIndex = 0;
};

template <typename OnPiece>
void StretchLoader::Load(const PieceStretch& stretch, uint64_t fileSize, uint64_t referenceBit,
                         OnPiece&& onPiece) {
    Cut(stretch);
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
