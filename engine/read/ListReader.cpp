// Block reads with a carried tail: the unfinished last piece of one block
// moves to the front of the buffer and the next read lands after it.
#include "read/ListReader.h"

#include <algorithm>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

namespace {
constexpr uint64_t kDefaultBlockSize = uint64_t{4} << 20;
uint64_t g_blockSize = kDefaultBlockSize;
constexpr char kEndOfFileMark = 26;
}  // namespace

void ThrowLineTooLong() {
    throw JobFailure(status::kLineTooLong);
}

void ListReader::SetBlockSizeForTesting(uint64_t bytes) {
    g_blockSize = bytes ? bytes : kDefaultBlockSize;
}

ListReader::ListReader(InputList& list, const char* failureText, uint64_t largestBlock)
    : m_name(list.Name()),
      m_source(list.OpenSource(failureText)),
      m_expected(list.Size()),
      m_blockSize(static_cast<size_t>(std::min(g_blockSize, largestBlock))) {}

bool ListReader::Next(PieceStretch& stretch) {
    if (m_done) return false;
    for (;;) {
        const size_t got = Fill();
        const char* data = m_buffer.Data();
        if (got == 0) {
            size_t size = m_buffer.Size();
            if (size > 0 && data[size - 1] == kEndOfFileMark) --size;
            stretch = {data, size, m_bufferAt, true};
            m_done = true;
            return true;
        }
        const auto* feed = static_cast<const char*>(
            ::memrchr(data + m_carried, '\n', m_buffer.Size() - m_carried));
        if (feed) {
            const size_t whole = static_cast<size_t>(feed + 1 - data);
            stretch = {data, whole, m_bufferAt, false};
            m_carried = m_buffer.Size() - whole;
            return true;
        }
        // One piece longer than a block: keep it all and read on.
        if (m_buffer.Size() > kLongestPiece) ThrowLineTooLong();
        if (m_buffer.Size() > m_longestLine) RefuseLongLine();
        m_carried = m_buffer.Size();
    }
}

// Reads past the rest of the line held so far, without keeping it, to say
// how long it is.
void ListReader::RefuseLongLine() {
    uint64_t length = m_buffer.Size();
    m_carried = 0;
    while (Fill() > 0) {
        const auto* feed =
            static_cast<const char*>(std::memchr(m_buffer.Data(), '\n', m_buffer.Size()));
        if (feed) {
            length += static_cast<uint64_t>(feed - m_buffer.Data());
            break;
        }
        length += m_buffer.Size();
    }
    throw LineOverLimit{length};
}

// Moves the carried tail to the front and reads up to one block after it;
// returns the bytes read, 0 at the end of the list.
size_t ListReader::Fill() {
    const size_t consumed = m_buffer.Size() - m_carried;
    if (consumed > 0 && m_carried > 0)
        std::memmove(m_buffer.Data(), m_buffer.Data() + consumed, m_carried);
    m_bufferAt += consumed;
    m_buffer.Resize(m_carried);
    const size_t want = m_blockSize;
    char* to = m_buffer.Extend(want);
    size_t got = 0;
    try {
        while (got < want) {
            const size_t done = m_source->Read(to + got, want - got);
            if (done == 0) break;
            got += done;
        }
    } catch (const JobFailure& failure) {
        // Among several lists, the one that failed is named.
        throw failure.Naming(m_name);
    }
    m_buffer.Resize(m_carried + got);
    return got;
}

}  // namespace lintrim
