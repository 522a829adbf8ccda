// Finding and looking at files on Windows. A file's status is read off an
// open handle (GetFileInformationByHandle and its FileBasicInfo): the
// volume's serial number and the file index are its identity, the last
// write and change times its times. A name is looked at through a handle
// opened for its attributes only, with the sharing of every other program
// left as it is. A list is shared as a file is on Linux: others may read,
// write, rename or remove it meanwhile, and the check before its
// replacement sees it.
#include <cerrno>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

timespec TimeOf(const LARGE_INTEGER& ticks) {
    const int64_t value = ticks.QuadPart;
    return {static_cast<time_t>(value / 10000000), static_cast<long>(value % 10000000 * 100)};
}

FileStatus::Kind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileStatus::Kind::kLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileStatus::Kind::kFolder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return FileStatus::Kind::kOther;
    return FileStatus::Kind::kRegular;
}

// A pipe or a device has no identity: it is only of another kind.
int StatOf(HANDLE file, FileStatus* status) {
    *status = {};
    if (::GetFileType(file) != FILE_TYPE_DISK) return 0;
    BY_HANDLE_FILE_INFORMATION about{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(file, &about) ||
        !::GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        return win32::FailFromLastError();
    status->kind = KindOf(about.dwFileAttributes);
    status->device = about.dwVolumeSerialNumber;
    status->inode = (uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow;
    status->size = static_cast<int64_t>((uint64_t{about.nFileSizeHigh} << 32) | about.nFileSizeLow);
    status->mtime = TimeOf(times.LastWriteTime);
    status->ctime = TimeOf(times.ChangeTime);
    status->mode = (about.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return 0;
}

HANDLE OpenToLookAt(const std::wstring& path, DWORD flags) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

int StatAtPath(const std::wstring& path, DWORD flags, FileStatus* status) {
    const HANDLE file = OpenToLookAt(path, flags);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    const int result = StatOf(file, status);
    ::CloseHandle(file);
    return result;
}
}  // namespace

int SystemCalls::Stat(int fd, FileStatus* status) {
    return StatOf(win32::HandleOf(fd), status);
}
int SystemCalls::StatAt(int folder, const char* name, FileStatus* status) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    return path ? StatAtPath(*path, FILE_FLAG_OPEN_REPARSE_POINT, status) : -1;
}
int SystemCalls::StatPath(const char* path, FileStatus* status) {
    return StatAtPath(win32::SystemPath(path), 0, status);
}
int SystemCalls::OpenToLook(const char* path) {
    const HANDLE file = OpenToLookAt(win32::SystemPath(path), 0);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    return win32::DescriptorOf(file);
}

int SystemCalls::PathOf(int fd, std::string* folder, std::string* name) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(fd));
    const size_t slash = path ? path->find_last_of(L'\\') : std::wstring::npos;
    if (slash == std::wstring::npos) return win32::FailFromLastError();
    *folder = win32::Utf8(path->substr(0, slash + 1));
    *name = win32::Utf8(path->substr(slash + 1));
    return 0;
}

int SystemCalls::OpenFolder(const char* path) {
    return win32::OpenFolder(win32::SystemPath(path));
}
int SystemCalls::OpenFolderToPass(const char* path) {
    return OpenFolder(path);
}

// The name in the kept folder is opened, not the path again: a link or
// junction put in the path meanwhile is not followed.
int SystemCalls::OpenList(int folder, const char* name) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    const HANDLE file =
        ::CreateFileW(path->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    const int fd = win32::DescriptorOf(file);
    if (fd >= 0) win32::NoteOpenList(fd);
    return fd;
}
// Nothing a list is opened with makes its reads return early.
int SystemCalls::SetBlocking(int) {
    return 0;
}

}  // namespace lintrim
