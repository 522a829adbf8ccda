// Buffered writes to a stream, retried on EINTR.
#include "write/StreamWriter.h"

#include <cerrno>
#include <cstring>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"

namespace lintrim {

namespace {
constexpr size_t kStreamBuffer = size_t{256} << 10;
}  // namespace

StreamWriter::StreamWriter(int fd, std::string subject) : m_fd(fd), m_subject(std::move(subject)) {
    m_buffer.Reserve(kStreamBuffer);
}

void StreamWriter::Write(const char* bytes, size_t size) {
    if (size > m_buffer.Capacity() - m_buffer.Size()) Flush();
    if (size >= m_buffer.Capacity()) {
        m_buffer.Append(bytes, size);  // a very long line goes out at once
        return Flush();
    }
    std::memcpy(m_buffer.Extend(size), bytes, size);
}

void StreamWriter::Flush() {
    const char* at = m_buffer.Data();
    size_t left = m_buffer.Size();
    while (left > 0) {
        const ssize_t done = Sys().Write(m_fd, at, left);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0)
            throw JobFailure(
                status::kOutputCantBeWritten,
                done == 0 ? FailureCause{ENOSPC, {}, "write"} : FailureCause::FromErrno("write"),
                m_subject);
        at += done;
        left -= static_cast<size_t>(done);
    }
    m_buffer.Clear();
}

}  // namespace lintrim
