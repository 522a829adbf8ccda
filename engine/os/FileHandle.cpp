// Owned file descriptors; closing goes through the system-call seam.
#include "os/FileHandle.h"

#include "os/SystemCalls.h"

namespace lintrim {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileHandle::~FileHandle() {
    Close();
}

bool FileHandle::Close() {
    if (m_fd < 0) return true;
    return Sys().Close(std::exchange(m_fd, -1)) == 0;
}

}  // namespace lintrim
