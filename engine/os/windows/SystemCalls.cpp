// The system calls of the seam in Win32 terms, on the C runtime's binary
// descriptors. The calls only POSIX file systems have (links, owners,
// extended attributes, calls relative to a folder descriptor) fail with
// ENOSYS: the engine's Windows files do not make them.
#include "os/SystemCalls.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "os/windows/Win32.h"

namespace {
SystemCalls g_realCalls;
std::atomic<SystemCalls*> g_activeCalls{&g_realCalls};

// One call moves at most this much, whatever is asked.
constexpr size_t kLargestTransfer = size_t{1} << 30;
// The run's lock is a byte far past any list's end, so that it keeps other
// runs away without keeping anyone from reading the list.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;
constexpr DWORD kLockOffset = 0xfffffffe;

int NotOnWindows() {
    errno = ENOSYS;
    return -1;
}

DWORD Disposition(int flags) {
    if ((flags & O_CREAT) && (flags & O_EXCL)) return CREATE_NEW;
    if ((flags & O_CREAT) && (flags & O_TRUNC)) return CREATE_ALWAYS;
    if (flags & O_CREAT) return OPEN_ALWAYS;
    return (flags & O_TRUNC) ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

DWORD Access(int flags) {
    switch (flags & (O_RDONLY | O_WRONLY | O_RDWR)) {
        case O_WRONLY:
            return GENERIC_WRITE;
        case O_RDWR:
            return GENERIC_READ | GENERIC_WRITE;
        default:
            return GENERIC_READ;
    }
}

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

int64_t Seconds(const FILETIME& time) {
    const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000) - 11644473600;
}
}  // namespace

int SystemCalls::Open(const char* path, int flags, mode_t) {
    HANDLE file = ::CreateFileW(win32::SystemPath(path).c_str(), Access(flags),
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                Disposition(flags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    return win32::DescriptorOf(file);
}
int SystemCalls::Openat(int folder, const char* name, int flags, mode_t mode) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(folder));
    if (!path) return win32::FailFromLastError();
    return Open(win32::Utf8(win32::Joined(*path, name)).c_str(), flags, mode);
}
int SystemCalls::Close(int fd) {
    win32::ForgetDescriptor(fd);
    return ::_close(fd);
}
int SystemCalls::Fstat(int fd, struct stat* info) {
    const HANDLE file = win32::HandleOf(fd);
    *info = {};
    const DWORD type = ::GetFileType(file);
    if (type != FILE_TYPE_DISK) {
        info->st_mode = type == FILE_TYPE_PIPE ? _S_IFIFO : _S_IFCHR;
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION about{};
    if (!::GetFileInformationByHandle(file, &about)) return win32::FailFromLastError();
    const bool folder = about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    info->st_mode = folder ? _S_IFDIR : _S_IFREG;
    info->st_dev = about.dwVolumeSerialNumber;
    info->st_nlink = static_cast<short>(about.nNumberOfLinks);
    info->st_size =
        static_cast<int64_t>((uint64_t{about.nFileSizeHigh} << 32) | about.nFileSizeLow);
    info->st_mtime = Seconds(about.ftLastWriteTime);
    info->st_ctime = Seconds(about.ftCreationTime);
    info->st_atime = Seconds(about.ftLastAccessTime);
    return 0;
}
int SystemCalls::Fstatat(int, const char*, struct stat*, int) {
    return NotOnWindows();
}
ssize_t SystemCalls::Readlink(const char*, char*, size_t) {
    return NotOnWindows();
}
int SystemCalls::Faccessat(int, const char*, int, int) {
    return NotOnWindows();
}
// The end of a pipe is the end of the input.
ssize_t SystemCalls::Read(int fd, void* buffer, size_t size) {
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (::ReadFile(win32::HandleOf(fd), buffer, asked, &got, nullptr)) return got;
    if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
    return win32::FailFromLastError();
}
// Every write to a file goes to its end, as the engine's files are only
// ever appended to: reads at an offset (Pread) move the handle's position.
ssize_t SystemCalls::Write(int fd, const void* buffer, size_t size) {
    const HANDLE file = win32::HandleOf(fd);
    OVERLAPPED end = At(UINT64_MAX);
    OVERLAPPED* at = ::GetFileType(file) == FILE_TYPE_DISK ? &end : nullptr;
    DWORD done = 0;
    const DWORD asked = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (!::WriteFile(file, buffer, asked, &done, at)) return win32::FailFromLastError();
    return done;
}
int SystemCalls::Fsync(int fd) {
    return ::FlushFileBuffers(win32::HandleOf(fd)) ? 0 : win32::FailFromLastError();
}
int SystemCalls::Ftruncate(int fd, off_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (::SetFileInformationByHandle(win32::HandleOf(fd), FileEndOfFileInfo, &end, sizeof end))
        return 0;
    return win32::FailFromLastError();
}
int SystemCalls::Fchmod(int, mode_t) {
    return NotOnWindows();
}
int SystemCalls::Fchown(int, uid_t, gid_t) {
    return NotOnWindows();
}
int SystemCalls::Flock(int fd, int) {
    OVERLAPPED at{};
    at.Offset = kLockOffset;
    at.OffsetHigh = kLockOffsetHigh;
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    if (::LockFileEx(win32::HandleOf(fd), flags, 0, 1, 0, &at)) return 0;
    return win32::FailFromLastError();
}
int SystemCalls::Renameat(int, const char*, int, const char*) {
    return NotOnWindows();
}
int SystemCalls::Linkat(int, const char*, int, const char*, int) {
    return NotOnWindows();
}
int SystemCalls::Unlinkat(int folder, const char* name, int) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(folder));
    if (!path) return win32::FailFromLastError();
    return ::DeleteFileW(win32::Joined(*path, name).c_str()) ? 0 : win32::FailFromLastError();
}
ssize_t SystemCalls::Flistxattr(int, char*, size_t) {
    return NotOnWindows();
}
ssize_t SystemCalls::Fgetxattr(int, const char*, void*, size_t) {
    return NotOnWindows();
}
int SystemCalls::Fsetxattr(int, const char*, const void*, size_t, int) {
    return NotOnWindows();
}

ssize_t SystemCalls::Pread(int fd, void* buffer, size_t size, off_t offset) {
    OVERLAPPED at = At(static_cast<uint64_t>(offset));
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (::ReadFile(win32::HandleOf(fd), buffer, asked, &got, &at)) return got;
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    return win32::FailFromLastError();
}
int SystemCalls::Fstatvfs(int fd, struct statvfs* info) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(fd));
    ULARGE_INTEGER available{};
    if (!path) return win32::FailFromLastError();
    const std::wstring folder = path->substr(0, path->find_last_of(L'\\') + 1);
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return win32::FailFromLastError();
    info->f_bavail = available.QuadPart;
    info->f_frsize = 1;
    return 0;
}

SystemCalls& Sys() {
    return *g_activeCalls.load(std::memory_order_acquire);
}

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& replacement)
    : m_previous(g_activeCalls.exchange(&replacement, std::memory_order_acq_rel)) {}

ScopedSystemCalls::~ScopedSystemCalls() {
    g_activeCalls.store(m_previous, std::memory_order_release);
}
