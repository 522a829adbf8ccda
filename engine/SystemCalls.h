// The file system calls the engine makes, behind a thin seam so that tests
// can make a read, a write, a flush or a rename fail at a chosen moment and
// check that no list on disk is harmed.
#pragma once

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat* info);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual int Fsync(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
    virtual int Fstatvfs(int fd, struct statvfs* info);
};

// The calls in use: the real ones unless a test has installed others.
SystemCalls& Sys();

// Installs replacement calls for the lifetime of the object (tests only).
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls& replacement);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

private:
    SystemCalls* m_previous;
};
