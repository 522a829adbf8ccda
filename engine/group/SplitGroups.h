// Grouping a partition too large to group in memory at once: its records
// are split again by further bits of their hashes into pieces on disk, and
// each piece is grouped alone (split again while it is still too large).
// Copies of a line share their hash, so no line spans two pieces. The runs
// of the pieces, each in file order, are laid one after another in one
// file, so that a partition takes one descriptor however many pieces it
// needed; merged, they are the partition's run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runs/KeptRun.h"
#include "group/LineGroups.h"
#include "load/LineKey.h"
#include "os/ByteBuffer.h"
#include "partition/SpillFile.h"

namespace lintrim {

// The runs of one split partition, laid in one file.
struct KeptPieces {
    SpillFile file;
    std::vector<Segment> segments;
};

class SplitGroups {
public:
    struct Limits {
        uint64_t groupBytes;  // a piece larger than this is split again
        unsigned fanOut;      // pieces a split makes, a power of two
        size_t bufferBytes;   // what each piece holds before it goes to disk
        std::string folder;
        const KeepRule* rule = nullptr;  // which groups each piece keeps
    };

    // Splits by the bits of the key's hash from `hashBit` up.
    SplitGroups(const Limits& limits, KeptCopies copies, LineKey key, int hashBit);

    // Takes the partition's records in load order.
    void Add(const char* record);
    // Groups every piece, appending its run to `pieces`; returns what
    // grouping removed.
    GroupCounts GroupInto(KeptPieces& pieces);

private:
    struct Piece {
        ByteBuffer buffer;
        SpillFile file;
        uint64_t records = 0;
        uint64_t bytes = 0;
    };

    // Whether a piece is best split again: too large, while its split can
    // still part its lines (it did not take all of its parent's, and hash
    // bits are left).
    bool SplitsAgain(const Piece& piece) const;
    template <typename OnRecord>
    void Walk(Piece& piece, OnRecord&& onRecord);
    GroupCounts GroupPiece(Piece& piece, KeptPieces& pieces);

    const Limits& m_limits;
    KeptCopies m_copies;
    LineKey m_key;
    int m_hashBit;
    int m_bits;
    std::vector<Piece> m_pieces;
    uint64_t m_records = 0;
};

}  // namespace lintrim
