// The real file system calls, and the switch that lets tests replace them.
#include "SystemCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {
SystemCalls g_realCalls;
std::atomic<SystemCalls*> g_activeCalls{&g_realCalls};
}  // namespace

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags | O_CLOEXEC, mode);
}
int SystemCalls::Close(int fd) {
    return ::close(fd);
}
int SystemCalls::Fstat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}
ssize_t SystemCalls::Read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t SystemCalls::Write(int fd, const void* buffer, size_t size) {
    return ::write(fd, buffer, size);
}
int SystemCalls::Fsync(int fd) {
    return ::fsync(fd);
}
int SystemCalls::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}

ssize_t SystemCalls::Pread(int fd, void* buffer, size_t size, off_t offset) {
    return ::pread(fd, buffer, size, offset);
}
int SystemCalls::Fstatvfs(int fd, struct statvfs* info) {
    return ::fstatvfs(fd, info);
}

SystemCalls& Sys() {
    return *g_activeCalls.load(std::memory_order_acquire);
}

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& replacement)
    : m_previous(g_activeCalls.exchange(&replacement, std::memory_order_acq_rel)) {}

ScopedSystemCalls::~ScopedSystemCalls() {
    g_activeCalls.store(m_previous, std::memory_order_release);
}
