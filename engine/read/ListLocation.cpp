// Resolving and opening a list, its lock, and the check before a rename.
// Each system's calls are in ListLocationCalls.cpp.
#include "read/ListLocation.h"

#include <cerrno>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"

namespace lintrim {

namespace {
bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool IsRegular(const FileStatus& status) {
    return status.kind == FileStatus::Kind::kRegular;
}
}  // namespace

FileIdentity FileIdentity::Of(const FileStatus& status) {
    return {status.device, status.inode, status.size, status.mtime, status.ctime};
}

std::optional<FileIdentity> FileIdentity::OfPath(const std::string& path) {
    FileStatus status;
    if (Sys().StatPath(path.c_str(), &status) != 0) return std::nullopt;
    return Of(status);
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

// The system follows the path, with the checks it makes for any program (a
// link another user planted in a shared folder is refused as it would be
// to `cat`); where it found the file is then read off the open file, and
// the name there must still be that file. A folder or a device is looked at
// without being opened for reading, so that nothing is read and nothing waits.
std::optional<ListLocation> ListLocation::Resolve(const std::string& path, FailureCause& why) {
    FileHandle found(Sys().OpenToLook(path.c_str()));
    if (!found.IsOpen()) return why = FailureCause::FromOpen(), std::nullopt;
    FileStatus status;
    if (Sys().Stat(found.Get(), &status) != 0)
        return why = FailureOf(SystemCall::kStat), std::nullopt;
    if (!IsRegular(status)) return why = {0, "not a regular file"}, std::nullopt;
    ListLocation location;
    std::string folder;
    if (Sys().PathOf(found.Get(), &folder, &location.m_name) != 0)
        return why = {0, "its folder can't be found"}, std::nullopt;
    if (!location.OpenFolder(folder)) return why = FailureOf(SystemCall::kOpen), std::nullopt;
    if (!location.OpenFile(why)) return std::nullopt;
    if (!location.m_identity.SameFile(FileIdentity::Of(status)))
        return why = {0, "moved while it was opened"}, std::nullopt;
    return location;
}

// Where the file system has no locks, the check before the rename still
// keeps a second run from replacing a list under the first.
void ListLocation::TakeLock(const std::string& subject) const {
    if (Sys().Lock(Descriptor()) != 0 && errno == EWOULDBLOCK)
        throw JobFailure(status::kListInUse, {}, subject);
}

// Readable when permitted, so that the folder can be synced and searched for
// leftovers; a folder that may only be passed through is kept as a path.
bool ListLocation::OpenFolder(const std::string& folder) {
    m_folder = FileHandle(Sys().OpenFolder(folder.c_str()));
    if (!m_folder.IsOpen() && errno == EACCES)
        m_folder = FileHandle(Sys().OpenFolderToPass(folder.c_str()));
    return m_folder.IsOpen();
}

// A FIFO opened for reading waits for a writer, and opening a device can
// act on it: the name in the kept folder is checked first, then opened
// without blocking and without following a link that replaced it, and
// checked again.
bool ListLocation::OpenFile(FailureCause& why) {
    FileStatus status;
    if (Sys().StatAt(Folder(), m_name.c_str(), &status) != 0)
        return why = FailureOf(SystemCall::kStat), false;
    if (!IsRegular(status)) return why = {0, "not a regular file"}, false;
    m_file = FileHandle(Sys().OpenList(Folder(), m_name.c_str()));
    if (!m_file.IsOpen()) return why = FailureOf(SystemCall::kOpen), false;
    if (Sys().Stat(Descriptor(), &status) != 0) return why = FailureOf(SystemCall::kStat), false;
    if (!IsRegular(status)) return why = {0, "not a regular file"}, false;
    if (Sys().SetBlocking(Descriptor()) != 0)
        return why = FailureOf(SystemCall::kSetBlocking), false;
    m_identity = FileIdentity::Of(status);
    m_mode = status.mode;
    m_owner = status.owner;
    m_group = status.group;
    return true;
}

bool ListLocation::Unchanged() const {
    FileStatus status;
    if (Sys().StatAt(Folder(), m_name.c_str(), &status) != 0) return false;
    return IsRegular(status) && FileIdentity::Of(status) == m_identity;
}

}  // namespace lintrim
