// The calls that move bytes, on Linux, and the names its failures give
// the calls.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "os/SystemCalls.h"

namespace lintrim {

int SystemCalls::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags | O_CLOEXEC, mode);
}
int SystemCalls::Close(int fd) {
    return ::close(fd);
}
ssize_t SystemCalls::Read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t SystemCalls::Write(int fd, const void* buffer, size_t size) {
    return ::write(fd, buffer, size);
}
ssize_t SystemCalls::Pread(int fd, void* buffer, size_t size, off_t offset) {
    return ::pread(fd, buffer, size, offset);
}
int SystemCalls::Fsync(int fd) {
    return ::fsync(fd);
}
int SystemCalls::Ftruncate(int fd, off_t size) {
    return ::ftruncate(fd, size);
}
int SystemCalls::Duplicate(int fd) {
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
}
int SystemCalls::Lock(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB);
}
int SystemCalls::Unlinkat(int folder, const char* name) {
    return ::unlinkat(folder, name, 0);
}
int SystemCalls::FreeSpace(int fd, uint64_t* bytes) {
    struct statvfs info {};
    if (::fstatvfs(fd, &info) != 0) return -1;
    *bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return 0;
}

namespace {
const char* NameOf(SystemCall call) {
    switch (call) {
        case SystemCall::kOpen:
        case SystemCall::kMakeTemporary:
            return "open";
        case SystemCall::kStat:
            return "stat";
        case SystemCall::kWrite:
            return "write";
        case SystemCall::kFlush:
            return "fsync";
        case SystemCall::kClose:
            return "close";
        case SystemCall::kDuplicate:
        case SystemCall::kSetBlocking:
            return "fcntl";
        case SystemCall::kLock:
            return "flock";
        case SystemCall::kNameTemporary:
            return "link";
        case SystemCall::kMoveOver:
            return "rename";
        case SystemCall::kSyncRename:
            return "sync folder";
        case SystemCall::kMayWrite:
            return "access";
        case SystemCall::kSetAttributes:
            return "fchmod";
        case SystemCall::kCopyAccess:
            break;
    }
    return nullptr;
}
}  // namespace

FailureCause FailureOf(SystemCall call) {
    if (call == SystemCall::kCopyAccess) return {0, "its access ACL can't be copied"};
    return FailureCause::FromErrno(NameOf(call));
}

}  // namespace lintrim
