// Replacing a file on Linux: its permission bits, owner, group and extended
// attributes copied by descriptor, and the folder synced after the rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "os/SystemCalls.h"

namespace lintrim {

namespace {
// An access ACL that could not be copied would leave the owning group with
// the mask's rights, which can be more than the list gave it.
constexpr char kAccessAcl[] = "system.posix_acl_access";

// False only when the attribute exists and could not be copied.
bool CopyAttribute(int from, int to, const char* name, std::vector<char>& value) {
    const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
    if (length < 0) return true;
    value.resize(static_cast<size_t>(length));
    const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
    return got < 0 || ::fsetxattr(to, name, value.data(), static_cast<size_t>(got), 0) == 0;
}
}  // namespace

// Root may write anything, but a file whose write bits are all off was made
// read-only on purpose and is left alone, as access(2) would say for anyone else.
int SystemCalls::MayWrite(int folder, const char* name, unsigned mode) {
    if (::faccessat(folder, name, W_OK, AT_EACCESS) != 0) return -1;
    if (::geteuid() != 0 || (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) return 0;
    errno = EACCES;
    return -1;
}

unsigned SystemCalls::NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int SystemCalls::Fchown(int fd, uint32_t owner, uint32_t group) {
    return ::fchown(fd, owner, group);
}

// Attributes the file system or this user cannot set (security labels,
// trusted names) are left behind; only the access ACL must come along.
int SystemCalls::CopyAccess(int from, int to) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) return 0;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    std::vector<char> value;
    for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[static_cast<size_t>(at)];
        if (!CopyAttribute(from, to, name, value) && std::strcmp(name, kAccessAcl) == 0) return -1;
    }
    return 0;
}

int SystemCalls::SetAttributes(int to, unsigned mode, int) {
    return ::fchmod(to, mode);
}

// Only a request: the flush at the commit still says whether it all
// reached the disk.
int SystemCalls::StartWriteBack(int fd, off_t from, off_t length) {
    return ::sync_file_range(fd, from, length, SYNC_FILE_RANGE_WRITE);
}

int SystemCalls::SyncRename(int folder, int) {
    return ::fsync(folder);
}

}  // namespace lintrim
