// Appending in steps, each step written out in large blocks and synced.
#include "write/AppendedFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"

namespace lintrim {

namespace {
constexpr size_t kAppendBuffer = size_t{256} << 10;
void (*g_appendPause)() = nullptr;

[[noreturn]] void CantWrite(const std::string& subject, FailureCause cause) {
    throw JobFailure(status::kOutputCantBeWritten, std::move(cause), subject);
}

off_t SizeOf(int fd, const std::string& subject) {
    FileStatus status;
    if (Sys().Stat(fd, &status) != 0) CantWrite(subject, FailureCause::FromErrno("fstat"));
    return status.size;
}
}  // namespace

void AppendedFile::SetAppendPauseForTesting(void (*pause)()) {
    g_appendPause = pause;
}

AppendedFile::AppendedFile(FileHandle file, std::string subject)
    : m_file(std::move(file)), m_subject(std::move(subject)) {
    m_committed = m_written = SizeOf(m_file.Get(), m_subject);
    m_buffer.Reserve(kAppendBuffer);
    m_stopEnd = RegisteredLength(m_file.Get(), m_committed);
}

void AppendedFile::Write(const char* bytes, size_t size) {
    if (size > m_buffer.Capacity() - m_buffer.Size()) Flush();
    if (size >= m_buffer.Capacity()) {
        m_buffer.Append(bytes, size);  // a very long line goes out at once
        Flush();
    } else {
        std::memcpy(m_buffer.Extend(size), bytes, size);
    }
}

void AppendedFile::Commit() {
    Flush();
    if (Sys().Fsync(m_file.Get()) != 0) CantWrite(m_subject, FailureCause::FromErrno("fsync"));
    m_committed = m_written;
    m_stopEnd.Set(m_committed);
}

// The first block of a step is where a test stops the program.
void AppendedFile::Flush() {
    const bool starting = m_written == m_committed;
    for (size_t at = 0; at < m_buffer.Size();) {
        const ssize_t done = m_stopEnd.Write(m_buffer.Data() + at, m_buffer.Size() - at);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0)
            CantWrite(m_subject, done == 0 ? FailureCause{ENOSPC, {}, "write"}
                                           : FailureCause::FromErrno("write"));
        at += static_cast<size_t>(done);
        m_written += done;
    }
    m_buffer.Clear();
    if (starting && m_written != m_committed && g_appendPause) g_appendPause();
}

// The length to cut back to is set first: a stop in between cuts as far.
void AppendedFile::CutBack(off_t end) noexcept {
    end = std::min(end, m_committed);
    m_buffer.Clear();
    m_stopEnd.Set(end);
    if (Sys().Ftruncate(m_file.Get(), end) == 0) Sys().Fsync(m_file.Get());
    ::lseek(m_file.Get(), end, SEEK_SET);
    m_committed = m_written = end;
}

}  // namespace lintrim
