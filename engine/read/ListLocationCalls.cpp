// Finding and looking at files on Linux: stat(2) in the engine's terms, the
// path of an open file read off /proc, and the opening of folders and lists.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "os/SystemCalls.h"

namespace lintrim {

namespace {
FileStatus::Kind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileStatus::Kind::kRegular;
    if (S_ISDIR(mode)) return FileStatus::Kind::kFolder;
    return S_ISLNK(mode) ? FileStatus::Kind::kLink : FileStatus::Kind::kOther;
}

int Filled(int result, const struct stat& info, FileStatus* status) {
    if (result != 0) return result;
    *status = {KindOf(info.st_mode), info.st_dev,          info.st_ino, info.st_size, info.st_mtim,
               info.st_ctim,         info.st_mode & 07777, info.st_uid, info.st_gid};
    return 0;
}
}  // namespace

int SystemCalls::Stat(int fd, FileStatus* status) {
    struct stat info {};
    return Filled(::fstat(fd, &info), info, status);
}
int SystemCalls::StatAt(int folder, const char* name, FileStatus* status) {
    struct stat info {};
    return Filled(::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW), info, status);
}
int SystemCalls::StatPath(const char* path, FileStatus* status) {
    struct stat info {};
    return Filled(::stat(path, &info), info, status);
}
int SystemCalls::OpenToLook(const char* path) {
    return ::open(path, O_PATH | O_CLOEXEC);
}

// The absolute path the kernel reached the open file by; none for a file
// that has no such path (deleted, or not in a folder).
int SystemCalls::PathOf(int fd, std::string* folder, std::string* name) {
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink(link, path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return -1;
    path.resize(static_cast<size_t>(length));
    if (path[0] != '/' || path.size() < 2) return -1;
    const size_t slash = path.rfind('/');
    *folder = path.substr(0, slash + 1);
    *name = path.substr(slash + 1);
    return 0;
}

int SystemCalls::OpenFolder(const char* path) {
    return ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
int SystemCalls::OpenFolderToPass(const char* path) {
    return ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
}
int SystemCalls::OpenList(int folder, const char* name) {
    return ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
}
int SystemCalls::SetBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags < 0 ? -1 : ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

}  // namespace lintrim
