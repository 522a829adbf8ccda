// Resolving and opening a list on Windows, its lock, and the check before
// the new file takes its place. The system follows the path once, links and
// junctions included, with the checks it makes for any program; where it
// found the file is read off the open handle. That folder is held open so
// that it cannot be renamed or removed during the run, and the file's
// identity (volume serial number and file index, size, write and change
// time) is noted. The run's lock is LockFileEx on a byte past the list's end
// (SystemCalls::Flock): it keeps a second run away without keeping anyone
// from reading the list.
#include "read/ListLocation.h"

#include <cerrno>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace {
// A list is shared as a file is on Linux: others may read, write, rename or
// remove it meanwhile, and the check before the replacement sees it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

timespec TimeOf(const LARGE_INTEGER& ticks) {
    const int64_t value = ticks.QuadPart;
    return {static_cast<time_t>(value / 10000000), static_cast<long>(value % 10000000 * 100)};
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool IsRegular(DWORD attributes, HANDLE file) {
    const DWORD special = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    return (attributes & special) == 0 && ::GetFileType(file) == FILE_TYPE_DISK;
}

// The identity of an open file; false, with errno set, when it cannot be had.
bool IdentityOf(HANDLE file, FileIdentity& identity, DWORD& attributes) {
    BY_HANDLE_FILE_INFORMATION about{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(file, &about) ||
        !::GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        return win32::FailFromLastError(), false;
    identity.device = about.dwVolumeSerialNumber;
    identity.inode = (uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow;
    identity.size =
        static_cast<int64_t>((uint64_t{about.nFileSizeHigh} << 32) | about.nFileSizeLow);
    identity.mtime = TimeOf(times.LastWriteTime);
    identity.ctime = TimeOf(times.ChangeTime);
    attributes = about.dwFileAttributes;
    return true;
}

// Opens what `path` leads to, the way `flags` say, for its attributes only.
HANDLE OpenToLook(const std::wstring& path, DWORD flags) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// The cause of a failed open of a path the user gave, said as on Linux.
FailureCause OpenFailure() {
    win32::FailFromLastError();
    return FailureCause::FromOpen();
}
}  // namespace

FileIdentity FileIdentity::Of(const struct stat& info) {
    return {info.st_dev, 0, info.st_size, {info.st_mtime, 0}, {info.st_ctime, 0}};
}

std::optional<FileIdentity> FileIdentity::OfPath(const std::string& path) {
    const HANDLE file = OpenToLook(win32::SystemPath(path), 0);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    FileIdentity identity;
    DWORD attributes = 0;
    const bool known = IdentityOf(file, identity, attributes);
    ::CloseHandle(file);
    if (!known) return std::nullopt;
    return identity;
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

// A folder or a device is looked at without being opened for reading, so
// that nothing is read from it and nothing waits.
std::optional<ListLocation> ListLocation::Resolve(const std::string& path, FailureCause& why) {
    const std::wstring wide = win32::SystemPath(path);
    const HANDLE look = OpenToLook(wide, 0);
    if (look == INVALID_HANDLE_VALUE) return why = OpenFailure(), std::nullopt;
    DWORD attributes = 0;
    FileIdentity found;
    const bool disk = ::GetFileType(look) == FILE_TYPE_DISK;
    const bool known = disk && IdentityOf(look, found, attributes);
    const bool regular = known && IsRegular(attributes, look);
    const std::optional<std::wstring> full = win32::PathOf(look);
    ::CloseHandle(look);
    if (disk && !known)
        return why = FailureCause::FromErrno("GetFileInformationByHandle"), std::nullopt;
    if (!regular) return why = {0, "not a regular file"}, std::nullopt;
    const size_t slash = full ? full->find_last_of(L'\\') : std::wstring::npos;
    if (slash == std::wstring::npos) return why = {0, "its folder can't be found"}, std::nullopt;
    ListLocation location;
    location.m_name = win32::Utf8(full->substr(slash + 1));
    location.m_folder = FileHandle(win32::OpenFolder(full->substr(0, slash + 1)));
    if (!location.m_folder.IsOpen())
        return why = FailureCause::FromErrno("CreateFile"), std::nullopt;
    if (!location.OpenFile(why)) return std::nullopt;
    if (!location.m_identity.SameFile(found))
        return why = {0, "moved while it was opened"}, std::nullopt;
    return location;
}

// Where the file system has no locks, the check before the rename still
// keeps a second run from replacing a list under the first.
void ListLocation::TakeLock(const std::string& subject) const {
    if (Sys().Flock(Descriptor(), 0) != 0 && errno == EWOULDBLOCK)
        throw JobFailure(status::kListInUse, {}, subject);
}

// The name in the kept folder is opened, not the path again: a link or
// junction put in the path meanwhile is not followed.
bool ListLocation::OpenFile(FailureCause& why) {
    const std::optional<std::wstring> folder = win32::PathOf(win32::HandleOf(Folder()));
    if (!folder) return why = FailureCause::FromErrno("GetFinalPathNameByHandle"), false;
    const HANDLE file = ::CreateFileW(
        win32::Joined(*folder, m_name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return why = FailureCause::FromErrno("CreateFile"), false;
    m_file = FileHandle(win32::DescriptorOf(file));
    if (!m_file.IsOpen()) return why = FailureCause::FromErrno("_open_osfhandle"), false;
    DWORD attributes = 0;
    if (!IdentityOf(file, m_identity, attributes))
        return why = FailureCause::FromErrno("GetFileInformationByHandle"), false;
    if (!IsRegular(attributes, file) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return why = {0, "not a regular file"}, false;
    m_mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    win32::NoteOpenList(Descriptor(), m_identity.device, m_identity.inode);
    return true;
}

bool ListLocation::Unchanged() const {
    const std::optional<std::wstring> folder = win32::PathOf(win32::HandleOf(Folder()));
    if (!folder) return false;
    const HANDLE now = OpenToLook(win32::Joined(*folder, m_name), FILE_FLAG_OPEN_REPARSE_POINT);
    if (now == INVALID_HANDLE_VALUE) return false;
    FileIdentity identity;
    DWORD attributes = 0;
    const bool known = IdentityOf(now, identity, attributes);
    const bool regular = known && IsRegular(attributes, now);
    ::CloseHandle(now);
    return regular && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && identity == m_identity;
}
