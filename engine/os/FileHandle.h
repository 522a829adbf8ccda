// An owned file descriptor: closed exactly once, by its destructor or by an
// explicit Close() whose result the caller can check.
#pragma once

#include <utility>

namespace lintrim {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : m_fd(fd) {}
    FileHandle(FileHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Closes now; false when the system reports an error (a late write failure).
    bool Close();

private:
    int m_fd = -1;
};

}  // namespace lintrim
