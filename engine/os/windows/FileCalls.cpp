// The calls that move bytes, in Win32 terms, on the C runtime's binary
// descriptors, and the names Windows gives the calls its failures name.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
// One call moves at most this much, whatever is asked.
constexpr size_t kLargestTransfer = size_t{1} << 30;
// The run's lock is a byte far past any list's end, so that it keeps other
// runs away without keeping anyone from reading the list.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;
constexpr DWORD kLockOffset = 0xfffffffe;

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
}  // namespace

int SystemCalls::Open(const char* path, int flags, mode_t) {
    HANDLE file = ::CreateFileW(win32::SystemPath(path).c_str(), Access(flags),
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                Disposition(flags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    return win32::DescriptorOf(file);
}
int SystemCalls::Close(int fd) {
    win32::ForgetDescriptor(fd);
    return ::_close(fd);
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
ssize_t SystemCalls::Pread(int fd, void* buffer, size_t size, off_t offset) {
    OVERLAPPED at = At(static_cast<uint64_t>(offset));
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (::ReadFile(win32::HandleOf(fd), buffer, asked, &got, &at)) return got;
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    return win32::FailFromLastError();
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
int SystemCalls::Duplicate(int fd) {
    return ::_dup(fd);
}
int SystemCalls::Lock(int fd) {
    OVERLAPPED at{};
    at.Offset = kLockOffset;
    at.OffsetHigh = kLockOffsetHigh;
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    if (::LockFileEx(win32::HandleOf(fd), flags, 0, 1, 0, &at)) return 0;
    return win32::FailFromLastError();
}
int SystemCalls::Unlinkat(int folder, const char* name) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    return ::DeleteFileW(path->c_str()) ? 0 : win32::FailFromLastError();
}
int SystemCalls::FreeSpace(int fd, uint64_t* bytes) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(fd));
    ULARGE_INTEGER available{};
    if (!path) return win32::FailFromLastError();
    const std::wstring folder = path->substr(0, path->find_last_of(L'\\') + 1);
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return win32::FailFromLastError();
    *bytes = available.QuadPart;
    return 0;
}

namespace {
const char* NameOf(SystemCall call) {
    switch (call) {
        case SystemCall::kOpen:
        case SystemCall::kMakeTemporary:
        case SystemCall::kMayWrite:
            return "CreateFile";
        case SystemCall::kStat:
            return "GetFileInformationByHandle";
        case SystemCall::kWrite:
            return "WriteFile";
        case SystemCall::kFlush:
        case SystemCall::kSyncRename:
            return "FlushFileBuffers";
        case SystemCall::kClose:
            return "CloseHandle";
        case SystemCall::kDuplicate:
            return "DuplicateHandle";
        case SystemCall::kLock:
            return "LockFileEx";
        case SystemCall::kSetBlocking:
        case SystemCall::kNameTemporary:
        case SystemCall::kSetAttributes:
            return "SetFileInformationByHandle";
        case SystemCall::kMoveOver:
            return "rename";
        case SystemCall::kCopyAccess:
            break;
    }
    return nullptr;
}
}  // namespace

// MayWrite refuses a read-only list with EROFS, which no Win32 error is told as.
FailureCause FailureOf(SystemCall call) {
    if (call == SystemCall::kCopyAccess) return {0, "its access control list can't be copied"};
    if (call == SystemCall::kMayWrite && errno == EROFS)
        return {0, "its read-only attribute is set"};
    return FailureCause::FromErrno(NameOf(call));
}

}  // namespace lintrim
