// Resolving and opening a list, its lock, and the check before a rename.
#include "read/ListLocation.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"

namespace {
bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The absolute path the kernel reached the open file by; nothing for a file
// that has no such path (deleted, or not in a folder).
std::optional<std::string> PathOf(int fd) {
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string path(PATH_MAX, '\0');
    const ssize_t length = Sys().Readlink(link, path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return std::nullopt;
    path.resize(static_cast<size_t>(length));
    if (path[0] != '/' || path.size() < 2) return std::nullopt;
    return path;
}
}  // namespace

FileIdentity FileIdentity::Of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

std::optional<FileIdentity> FileIdentity::OfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return Of(info);
}

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           SameTime(mtime, other.mtime) && SameTime(ctime, other.ctime);
}

std::optional<ListLocation> ListLocation::Open(const std::string& path, Lock lock,
                                               FailureCause* why) {
    FailureCause cause;
    std::optional<ListLocation> location = Resolve(path, cause);
    if (!location) {
        if (why) *why = std::move(cause);
        return std::nullopt;
    }
    if (lock == Lock::kExclusive) location->TakeLock(path);
    return location;
}

// The kernel follows the path, with the checks it makes for any program (a
// link another user planted in a shared folder is refused as it would be
// to `cat`); where it found the file is then read off the descriptor, and
// the name there must still be that file.
std::optional<ListLocation> ListLocation::Resolve(const std::string& path, FailureCause& why) {
    FileHandle found(Sys().Open(path.c_str(), O_PATH | O_CLOEXEC, 0));
    if (!found.IsOpen()) return why = FailureCause::FromOpen(), std::nullopt;
    struct stat info {};
    if (Sys().Fstat(found.Get(), &info) != 0)
        return why = FailureCause::FromErrno("stat"), std::nullopt;
    if (!S_ISREG(info.st_mode)) return why = {0, "not a regular file"}, std::nullopt;
    const std::optional<std::string> full = PathOf(found.Get());
    if (!full) return why = {0, "its folder can't be found"}, std::nullopt;
    const size_t slash = full->rfind('/');
    ListLocation location;
    location.m_name = full->substr(slash + 1);
    if (!location.OpenFolder(slash == 0 ? "/" : full->substr(0, slash)))
        return why = FailureCause::FromErrno("open"), std::nullopt;
    if (!location.OpenFile(why)) return std::nullopt;
    if (!location.m_identity.SameFile(FileIdentity::Of(info)))
        return why = {0, "moved while it was opened"}, std::nullopt;
    return location;
}

// Where the file system has no locks, the check before the rename still
// keeps a second run from replacing a list under the first.
void ListLocation::TakeLock(const std::string& subject) const {
    if (Sys().Flock(Descriptor(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw JobFailure(status::kListInUse, {}, subject);
}

// Readable when permitted, so that the folder can be synced and searched for
// leftovers; a folder that may only be passed through is kept as a path.
bool ListLocation::OpenFolder(const std::string& folder) {
    m_folder = FileHandle(Sys().Open(folder.c_str(), O_RDONLY | O_DIRECTORY, 0));
    if (!m_folder.IsOpen() && errno == EACCES)
        m_folder = FileHandle(Sys().Open(folder.c_str(), O_PATH | O_DIRECTORY, 0));
    return m_folder.IsOpen();
}

// A FIFO opened for reading waits for a writer, and opening a device can
// act on it: the name is checked first, then opened without blocking and
// without following a link that replaced it, and checked again.
bool ListLocation::OpenFile(FailureCause& why) {
    struct stat info {};
    if (Sys().Fstatat(Folder(), m_name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return why = FailureCause::FromErrno("stat"), false;
    if (!S_ISREG(info.st_mode)) return why = {0, "not a regular file"}, false;
    m_file = FileHandle(
        Sys().Openat(Folder(), m_name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0));
    if (!m_file.IsOpen()) return why = FailureCause::FromErrno("open"), false;
    if (Sys().Fstat(Descriptor(), &info) != 0) return why = FailureCause::FromErrno("stat"), false;
    if (!S_ISREG(info.st_mode)) return why = {0, "not a regular file"}, false;
    const int flags = ::fcntl(Descriptor(), F_GETFL);
    if (flags < 0 || ::fcntl(Descriptor(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return why = FailureCause::FromErrno("fcntl"), false;
    m_identity = FileIdentity::Of(info);
    m_mode = info.st_mode & 07777;
    m_owner = info.st_uid;
    m_group = info.st_gid;
    return true;
}

bool ListLocation::Unchanged() const {
    struct stat info {};
    if (Sys().Fstatat(Folder(), m_name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISREG(info.st_mode) && FileIdentity::Of(info) == m_identity;
}
