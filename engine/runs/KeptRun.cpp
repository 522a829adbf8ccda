// Runs: spilling and reading back.
#include "runs/KeptRun.h"

#include <algorithm>
#include <bit>

#include "record/Record.h"

namespace lintrim {

void KeptRun::Spill(const std::string& folder) {
    file = SpillFile::Create(folder);
    if (stretches.empty()) {
        file.Append(bytes.Data(), bytes.Size());
    } else {
        // Each stretch is appended on its own, so that it starts a block of
        // the file: a thread reading one stretch never unpacks a block of another.
        for (const Segment& stretch : stretches)
            file.Append(bytes.Data() + stretch.offset, static_cast<size_t>(stretch.bytes));
    }
    bytes.Release();
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
