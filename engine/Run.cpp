// Runs: spilling, sorting and reading back.
#include "Run.h"

#include <algorithm>
#include <bit>

#include "JobFailure.h"
#include "Record.h"
#include "StatusTexts.h"

namespace {
// The first 8 bytes of a line as a big-endian number, zero padded, so that
// most comparisons by text are settled without reading the lines.
uint64_t Prefix(const char* line, uint32_t length) {
    uint64_t word = 0;
    std::memcpy(&word, line, std::min<uint32_t>(length, 8));
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return word;
}

int CompareText(const char* a, const char* b) {
    const uint32_t la = record::Length(a);
    const uint32_t lb = record::Length(b);
    const int c = std::memcmp(record::KeptLine(a), record::KeptLine(b), std::min(la, lb));
    return c != 0 ? c : (la < lb ? -1 : la > lb ? 1 : 0);
}

uint64_t IndexOf(const char* kept) {
    return record::Index(kept) & ~record::kReferenceBit;
}

std::vector<uint64_t> Offsets(const ByteBuffer& bytes) {
    std::vector<uint64_t> offsets;
    for (size_t at = 0; at < bytes.Size(); at += record::KeptSize(bytes.Data() + at))
        offsets.push_back(at);
    return offsets;
}

void SortByText(const ByteBuffer& bytes, std::vector<uint64_t>& offsets) {
    struct Keyed {
        uint64_t prefix;
        uint64_t offset;
    };
    std::vector<Keyed> keyed(offsets.size());
    const char* data = bytes.Data();
    for (size_t i = 0; i < offsets.size(); ++i) {
        const char* r = data + offsets[i];
        keyed[i] = {Prefix(record::KeptLine(r), record::Length(r)), offsets[i]};
    }
    std::sort(keyed.begin(), keyed.end(), [data](const Keyed& a, const Keyed& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return CompareText(data + a.offset, data + b.offset) < 0;
    });
    for (size_t i = 0; i < offsets.size(); ++i) offsets[i] = keyed[i].offset;
}

void SortByFrequency(const ByteBuffer& bytes, std::vector<uint64_t>& offsets) {
    const char* data = bytes.Data();
    std::sort(offsets.begin(), offsets.end(), [data](uint64_t a, uint64_t b) {
        return KeptBefore(KeptOrder::Frequency, data + a, data + b);
    });
}
}  // namespace

bool KeptBefore(KeptOrder order, const char* a, const char* b) {
    switch (order) {
        case KeptOrder::Frequency:
            if (record::Copies(a) != record::Copies(b))
                return record::Copies(a) > record::Copies(b);
            return IndexOf(a) < IndexOf(b);
        case KeptOrder::Alphabetical:
            return CompareText(a, b) < 0;
        case KeptOrder::File:
            break;
    }
    return IndexOf(a) < IndexOf(b);
}

void Run::Spill(const std::string& folder) {
    file = SpillFile::Create(folder);
    file.Append(bytes.Data(), bytes.Size());
    bytes.Release();
}

void Run::Sort(KeptOrder kept, const std::string& folder) {
    if (kept == KeptOrder::File) return;  // grouping leaves a run in file order
    const bool onDisk = static_cast<bool>(file);
    if (onDisk) {
        bytes.Resize(file.Size());
        file.ReadAt(bytes.Data(), bytes.Size(), 0);
        file.Drop();
    }
    order = Offsets(bytes);
    if (kept == KeptOrder::Alphabetical)
        SortByText(bytes, order);
    else
        SortByFrequency(bytes, order);
    if (!onDisk) return;
    ByteBuffer sorted;
    sorted.Reserve(bytes.Size());
    for (uint64_t at : order) sorted.Append(bytes.Data() + at, record::KeptSize(bytes.Data() + at));
    order = {};
    bytes = std::move(sorted);
    Spill(folder);
}

RunCursor::RunCursor(const Run& run, size_t chunkBytes) : m_run(run), m_chunkBytes(chunkBytes) {
    Advance();
}

void RunCursor::Advance() {
    if (m_next == m_run.records) {
        m_current = nullptr;
        return;
    }
    ++m_next;
    if (!m_run.file) {
        const bool ordered = !m_run.order.empty();
        const uint64_t at = ordered ? m_run.order[m_at++] : m_at;
        m_current = m_run.bytes.Data() + at;
        if (!ordered) m_at += record::KeptSize(m_current);
        return;
    }
    if (m_current) m_at += record::KeptSize(m_current);
    const size_t left = m_chunk.Size() - m_at;
    if (left < record::kKeptHeadSize || left < record::KeptSize(m_chunk.Data() + m_at)) ReadOn();
    m_current = m_chunk.Data() + m_at;
}

// Keeps the unread tail, and reads until the next record is whole.
void RunCursor::ReadOn() {
    const size_t left = m_chunk.Size() - m_at;
    // The first chunk has no buffer yet: nothing to move, and no address.
    if (left > 0) std::memmove(m_chunk.Data(), m_chunk.Data() + m_at, left);
    m_chunk.Resize(left);
    m_at = 0;
    do {
        const uint64_t rest = m_run.file.Size() - m_fileAt;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(m_chunkBytes, rest));
        if (want == 0) throw JobFailure(status::kTempCantBeRead);  // a record cut short
        const size_t had = m_chunk.Size();
        m_chunk.Extend(want);
        m_run.file.ReadAt(m_chunk.Data() + had, want, m_fileAt);
        m_fileAt += want;
    } while (m_chunk.Size() < record::kKeptHeadSize ||
             m_chunk.Size() < record::KeptSize(m_chunk.Data()));
}
