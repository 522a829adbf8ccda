// Block reads with a carried tail: the unfinished last piece of one block
// moves to the front of the buffer and the next read lands after it.
#include "ListReader.h"

#include <algorithm>
#include <cerrno>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
constexpr uint64_t kDefaultBlockSize = uint64_t{8} << 20;
uint64_t g_blockSize = kDefaultBlockSize;
constexpr char kEndOfFileMark = 26;
}  // namespace

void ThrowLineTooLong() {
    throw JobFailure(status::kLineTooLong);
}

void ListReader::SetBlockSizeForTesting(uint64_t bytes) {
    g_blockSize = bytes ? bytes : kDefaultBlockSize;
}

ListReader::ListReader(InputList& list, const char* failureText)
    : m_list(list), m_failureText(failureText) {}

bool ListReader::Next(PieceStretch& stretch) {
    if (m_done) return false;
    for (;;) {
        Fill();
        const char* data = m_buffer.Data();
        if (m_read == m_list.Size()) {
            CheckAtEnd();
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
        m_carried = m_buffer.Size();
    }
}

// Moves the carried tail to the front and reads one block after it.
void ListReader::Fill() {
    const size_t consumed = m_buffer.Size() - m_carried;
    if (consumed > 0 && m_carried > 0)
        std::memmove(m_buffer.Data(), m_buffer.Data() + consumed, m_carried);
    m_bufferAt += consumed;
    m_buffer.Resize(m_carried);
    const size_t want = static_cast<size_t>(std::min(g_blockSize, m_list.Size() - m_read));
    char* to = m_buffer.Extend(want);
    size_t got = 0;
    while (got < want) {
        const ssize_t done = Sys().Read(m_list.Descriptor(), to + got, want - got);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) throw JobFailure(m_failureText);  // an error, or the file shrank
        got += static_cast<size_t>(done);
    }
    m_read += got;
}

void ListReader::CheckAtEnd() {
    char probe;
    ssize_t extra;
    do {
        extra = Sys().Read(m_list.Descriptor(), &probe, 1);
    } while (extra < 0 && errno == EINTR);
    if (extra != 0) throw JobFailure(m_failureText);  // the file grew, or the read failed
}
