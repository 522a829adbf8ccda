// Runs: spilling, sorting and reading back.
#include "group/KeptRun.h"

#include <algorithm>
#include <bit>

#include "order/KeptKey.h"
#include "order/KeptSort.h"
#include "order/KeyBounds.h"
#include "record/Record.h"

namespace lintrim {

namespace {
// The run's records in `order`, as keys.
std::vector<KeptKey> SortedKeys(const ByteBuffer& bytes, const KeptOrder& order) {
    std::vector<KeptKey> keys;
    for (size_t at = 0; at < bytes.Size(); at += record::KeptSize(bytes.Data() + at))
        keys.push_back(KeptKey::Of(order, bytes.Data() + at));
    SortKeys(keys.data(), keys.data() + keys.size(), order);
    return keys;
}
}  // namespace

void KeptRun::Spill(const std::string& folder, const KeyBounds* bounds) {
    file = SpillFile::Create(folder);
    if (!bounds || bounds->Empty()) {
        file.Append(bytes.Data(), bytes.Size());
        bytes.Release();
        return;
    }
    StretchCutter cutter(*bounds, stretches, 0);
    for (size_t at = 0; at < bytes.Size(); at += record::KeptSize(bytes.Data() + at))
        cutter.Add(bytes.Data() + at, at);
    cutter.Finish(bytes.Size());
    // Each stretch is appended on its own, so that it starts a block of the
    // file: a thread reading one stretch never unpacks a block of another.
    for (const Segment& stretch : stretches)
        file.Append(bytes.Data() + stretch.offset, static_cast<size_t>(stretch.bytes));
    bytes.Release();
}

void KeptRun::Sort(const KeptOrder& kept, const std::string& folder, KeyBounds* bounds,
                   size_t takeStretches) {
    if (kept.kind == OrderKind::File) return;  // grouping leaves a run in file order
    bytes.Resize(file.Size());
    file.ReadAt(bytes.Data(), bytes.Size(), 0);
    file.Drop();
    const std::vector<KeptKey> keys = SortedKeys(bytes, kept);
    if (bounds && takeStretches) bounds->TakeFrom(keys, takeStretches);
    ByteBuffer sorted;
    sorted.Reserve(bytes.Size());
    for (const KeptKey& key : keys) sorted.Append(key.kept, record::KeptSize(key.kept));
    bytes = std::move(sorted);
    Spill(folder, bounds);
}

void KeptRun::SortBytes(const KeptOrder& kept) {
    if (kept.kind == OrderKind::File) return;
    const std::vector<KeptKey> keys = SortedKeys(bytes, kept);
    ByteBuffer sorted;
    sorted.Reserve(bytes.Size());
    for (const KeptKey& key : keys) sorted.Append(key.kept, record::KeptSize(key.kept));
    bytes = std::move(sorted);
}

KeptRunCursor::KeptRunCursor(const KeptRun& run, size_t chunkBytes)
    : m_bytes(run.file ? nullptr : &run.bytes),
      m_file(run.file ? &run.file : nullptr),
      m_records(run.records),
      m_chunkBytes(chunkBytes),
      m_fileEnd(run.file.Size()) {
    Advance();
}

KeptRunCursor::KeptRunCursor(const SpillFile& file, const Segment& segment, size_t chunkBytes)
    : m_file(&file),
      m_records(segment.records),
      m_chunkBytes(chunkBytes),
      m_fileAt(segment.offset),
      m_fileEnd(segment.offset + segment.bytes) {
    Advance();
}

void KeptRunCursor::Advance() {
    if (m_next == m_records) {
        m_current = nullptr;
        return;
    }
    ++m_next;
    if (m_bytes) {
        m_current = m_bytes->Data() + m_at;
        m_at += record::KeptSize(m_current);
        return;
    }
    if (m_current) m_at += record::KeptSize(m_current);
    const size_t left = m_chunk.Size() - m_at;
    if (left < record::kKeptHeadSize || left < record::KeptSize(m_chunk.Data() + m_at)) ReadOn();
    m_current = m_chunk.Data() + m_at;
}

// Keeps the unread tail, and reads until the next record is whole.
void KeptRunCursor::ReadOn() {
    const size_t left = m_chunk.Size() - m_at;
    // The first chunk has no buffer yet: nothing to move, and no address.
    if (left > 0) std::memmove(m_chunk.Data(), m_chunk.Data() + m_at, left);
    m_chunk.Resize(left);
    m_at = 0;
    do {
        const uint64_t rest = m_fileEnd - m_fileAt;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(m_chunkBytes, rest));
        if (want == 0) m_file->CutShort();  // a record cut short
        const size_t had = m_chunk.Size();
        m_chunk.Extend(want);
        m_file->ReadAt(m_chunk.Data() + had, want, m_fileAt);
        m_fileAt += want;
    } while (m_chunk.Size() < record::kKeptHeadSize ||
             m_chunk.Size() < record::KeptSize(m_chunk.Data()));
}

}  // namespace lintrim
