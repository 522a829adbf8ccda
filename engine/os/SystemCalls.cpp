// The real file system calls, and the switch that lets tests replace them.
// Every descriptor is opened close-on-exec.
#include "os/SystemCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
SystemCalls g_realCalls;
std::atomic<SystemCalls*> g_activeCalls{&g_realCalls};
}  // namespace

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags | O_CLOEXEC, mode);
}
int SystemCalls::Openat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags | O_CLOEXEC, mode);
}
int SystemCalls::Close(int fd) {
    return ::close(fd);
}
int SystemCalls::Fstat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}
int SystemCalls::Fstatat(int folder, const char* name, struct stat* info, int flags) {
    return ::fstatat(folder, name, info, flags);
}
ssize_t SystemCalls::Readlink(const char* path, char* target, size_t size) {
    return ::readlink(path, target, size);
}
int SystemCalls::Faccessat(int folder, const char* name, int mode, int flags) {
    return ::faccessat(folder, name, mode, flags);
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
int SystemCalls::Ftruncate(int fd, off_t size) {
    return ::ftruncate(fd, size);
}
int SystemCalls::Fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int SystemCalls::Fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int SystemCalls::Flock(int fd, int operation) {
    return ::flock(fd, operation);
}
int SystemCalls::Renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    return ::renameat(fromFolder, from, toFolder, to);
}
int SystemCalls::Linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    return ::linkat(fromFolder, from, toFolder, to, flags);
}
int SystemCalls::Unlinkat(int folder, const char* name, int flags) {
    return ::unlinkat(folder, name, flags);
}
ssize_t SystemCalls::Flistxattr(int fd, char* names, size_t size) {
    return ::flistxattr(fd, names, size);
}
ssize_t SystemCalls::Fgetxattr(int fd, const char* name, void* value, size_t size) {
    return ::fgetxattr(fd, name, value, size);
}
int SystemCalls::Fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    return ::fsetxattr(fd, name, value, size, flags);
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
