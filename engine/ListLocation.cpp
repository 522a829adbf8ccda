// Resolving and opening a list, its lock, and the check before a rename.
#include "ListLocation.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <climits>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
}  // namespace

FileIdentity FileIdentity::Of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
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
    if (lock == Lock::kExclusive) location->TakeLock();
    return location;
}

std::optional<ListLocation> ListLocation::Resolve(const std::string& path, FailureCause& why) {
    char resolved[PATH_MAX];
    if (!Sys().Realpath(path.c_str(), resolved))
        return why = FailureCause::FromErrno(), std::nullopt;
    const std::string full = resolved;
    const size_t slash = full.rfind('/');
    ListLocation location;
    location.m_name = full.substr(slash + 1);
    if (location.m_name.empty()) return why = {0, "not a regular file"}, std::nullopt;
    if (!location.OpenFolder(slash == 0 ? "/" : full.substr(0, slash)))
        return why = FailureCause::FromErrno(), std::nullopt;
    if (!location.OpenFile(why)) return std::nullopt;
    return location;
}

// Where the file system has no locks, the check before the rename still
// keeps a second run from replacing a list under the first.
void ListLocation::TakeLock() const {
    if (Sys().Flock(Descriptor(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw JobFailure(status::kListInUse);
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
        return why = FailureCause::FromErrno(), false;
    if (!S_ISREG(info.st_mode)) return why = {0, "not a regular file"}, false;
    m_file = FileHandle(
        Sys().Openat(Folder(), m_name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0));
    if (!m_file.IsOpen() || Sys().Fstat(Descriptor(), &info) != 0)
        return why = FailureCause::FromErrno(), false;
    if (!S_ISREG(info.st_mode)) return why = {0, "not a regular file"}, false;
    const int flags = ::fcntl(Descriptor(), F_GETFL);
    if (flags < 0 || ::fcntl(Descriptor(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return why = FailureCause::FromErrno(), false;
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
