// The length an open file is cut back to when the program is stopped (a
// signal, Ctrl-C), recorded for as long as the file is appended to, where the
// stop handler can reach it. A program that ends on a stop calls CutAll()
// from its handler, so that a file it was appending to keeps its whole steps
// and loses the one being written. Like RegisteredName, recording and
// cutting touch only lock-free atomics and a fixed table on Linux, where
// CutAll() is async-signal-safe; on Windows the handler runs on a thread of
// its own and Write() keeps it out while a write is under way.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace lintrim {

class RegisteredLength {
public:
    RegisteredLength() = default;
    // Records the file open as `fd`, to be cut back to `length`; the file
    // must stay open while it is recorded. Nothing is recorded when the
    // table is full (a run appends to one file at a time).
    RegisteredLength(int fd, off_t length);
    RegisteredLength(RegisteredLength&& other) noexcept;
    RegisteredLength& operator=(RegisteredLength&& other) noexcept;
    RegisteredLength(const RegisteredLength&) = delete;
    RegisteredLength& operator=(const RegisteredLength&) = delete;
    ~RegisteredLength() { Clear(); }

    // The file is to be cut back to `length` from now on.
    void Set(off_t length);
    // Writes to the file as SystemCalls::Write does, so that a stop comes
    // before the write or after it, never during it.
    ssize_t Write(const char* bytes, size_t size);
    // Forgets the file (it is about to be closed).
    void Clear();

    // Cuts every recorded file that is longer than its length back to it,
    // and syncs it. Async-signal-safe on Linux. Only a handler that then
    // ends the program calls it: a write or change after it waits for the end.
    static void CutAll() noexcept;

private:
    int m_fd = -1;
    int m_slot = -1;
};

}  // namespace lintrim
