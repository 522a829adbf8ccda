// The file system calls the engine makes, behind a thin seam so that tests
// can make any of them fail at a chosen moment (a read, a write, a flush, the
// creation of the new file, its link, the rename, the sync of the folder) and
// check that no list on disk is harmed.
#pragma once

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual int Openat(int folder, const char* name, int flags, mode_t mode);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat* info);
    virtual int Fstatat(int folder, const char* name, struct stat* info, int flags);
    virtual ssize_t Readlink(const char* path, char* target, size_t size);
    virtual int Faccessat(int folder, const char* name, int mode, int flags);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual int Fsync(int fd);
    virtual int Ftruncate(int fd, off_t size);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Flock(int fd, int operation);
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
    virtual int Fstatvfs(int fd, struct statvfs* info);
    virtual int Renameat(int fromFolder, const char* from, int toFolder, const char* to);
    virtual int Linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    virtual int Unlinkat(int folder, const char* name, int flags);
    virtual ssize_t Flistxattr(int fd, char* names, size_t size);
    virtual ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size);
    virtual int Fsetxattr(int fd, const char* name, const void* value, size_t size, int flags);
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
