// Splitting a partition into pieces on disk, and grouping them one by one.
#include "group/SplitGroups.h"

#include <bit>

#include "group/LineGroups.h"
#include "partition/PartitionSet.h"
#include "record/Record.h"

namespace lintrim {

namespace {
constexpr int kHashBits = 64;
}  // namespace

SplitGroups::SplitGroups(const Limits& limits, KeptCopies copies, LineKey key, int hashBit)
    : m_limits(limits),
      m_copies(copies),
      m_key(key),
      m_hashBit(hashBit),
      m_bits(std::min(std::countr_zero(limits.fanOut), kHashBits - hashBit)),
      m_pieces(size_t{1} << m_bits) {}

void SplitGroups::Add(const char* record) {
    const uint64_t hash = m_key.Hash(record::Line(record), record::Length(record));
    const uint64_t mask = (uint64_t{1} << m_bits) - 1;
    Piece& piece = m_pieces[m_bits ? (hash >> m_hashBit) & mask : 0];
    const size_t size = record::Size(record);
    piece.buffer.Append(record, size);
    ++piece.records;
    piece.bytes += size;
    ++m_records;
    if (piece.buffer.Size() < m_limits.bufferBytes) return;
    if (!piece.file) piece.file = SpillFile::Create(m_limits.folder);
    piece.file.Append(piece.buffer.Data(), piece.buffer.Size());
    piece.buffer.Clear();
}

bool SplitGroups::SplitsAgain(const Piece& piece) const {
    return piece.bytes > m_limits.groupBytes && piece.records < m_records &&
           m_hashBit + m_bits < kHashBits;
}

// A piece's records in load order: those on disk, then its buffer's.
template <typename OnRecord>
void SplitGroups::Walk(Piece& piece, OnRecord&& onRecord) {
    if (piece.file) {
        WalkFileRecords(piece.file, m_limits.bufferBytes, onRecord);
        piece.file.Drop();
    }
    WalkRecords(piece.buffer.Data(), piece.buffer.Size(), onRecord);
    piece.buffer.Release();
}

GroupCounts SplitGroups::GroupInto(KeptPieces& pieces) {
    GroupCounts counts;
    for (Piece& piece : m_pieces) {
        if (!SplitsAgain(piece)) {
            counts += GroupPiece(piece, pieces);
            continue;
        }
        SplitGroups split(m_limits, m_copies, m_key, m_hashBit + m_bits);
        Walk(piece, [&](const char* record) { split.Add(record); });
        counts += split.GroupInto(pieces);
    }
    return counts;
}

GroupCounts SplitGroups::GroupPiece(Piece& piece, KeptPieces& pieces) {
    if (piece.records == 0) return {};
    LineGroups groups(m_copies, m_key, m_limits.rule);
    groups.Reserve(piece.records, piece.bytes);
    Walk(piece, [&](const char* record) { groups.Add(record); });
    const KeptRun run = groups.TakeRun();
    if (!pieces.file) pieces.file = SpillFile::Create(m_limits.folder);
    pieces.segments.push_back({pieces.file.Size(), run.bytes.Size(), run.records});
    pieces.file.Append(run.bytes.Data(), run.bytes.Size());
    return groups.Counts();
}

}  // namespace lintrim
