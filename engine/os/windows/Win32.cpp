// UTF-8 and UTF-16, descriptors over handles, and errno for Win32 errors.
#include "os/windows/Win32.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cwchar>
#include <set>
#include <utility>
#include <vector>

namespace lintrim {

namespace win32 {
namespace {
constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr size_t kLongestPath = 32768;

constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const wchar_t* start) {
    return text.compare(0, std::wcslen(start), start) == 0;
}
}  // namespace

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// The path made full as the system would make it (the current folder, the
// drive's, backslashes, no . or ..), then prefixed: the prefix turns that
// rewriting off, and with it the length limit. A device (\\.\NUL) stays
// as it is.
std::wstring SystemPath(const std::string& utf8) {
    const std::wstring path = Wide(utf8);
    if (path.empty() || StartsWith(path, kLongPrefix) || StartsWith(path, kDevicePrefix))
        return path;
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    full.resize(::GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
    if (StartsWith(full, kDevicePrefix) || StartsWith(full, kLongPrefix)) return full;
    if (StartsWith(full, L"\\\\")) return kLongPrefix + std::wstring(L"UNC") + full.substr(1);
    return kLongPrefix + full;
}

std::wstring Joined(const std::wstring& folder, const std::string& name) {
    const bool ends = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    return folder + (ends ? L"" : L"\\") + Wide(name);
}

std::optional<std::wstring> PathIn(int folder, const std::string& name) {
    const std::optional<std::wstring> path = PathOf(HandleOf(folder));
    if (!path) {
        FailFromLastError();
        return std::nullopt;
    }
    return Joined(*path, name);
}

int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return EACCES;
        case ERROR_LOCK_VIOLATION:
            return EWOULDBLOCK;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_INVALID_HANDLE:
            return EBADF;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return EPIPE;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_INVALID_PARAMETER:
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED:
            return EINVAL;
        default:
            return EIO;
    }
}

int FailFromLastError() {
    errno = ErrnoOf(::GetLastError());
    return -1;
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int DescriptorOf(HANDLE handle) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

// Wine answers GetFinalPathNameByHandleW only within MAX_PATH: a longer
// path is put together from the file's name on its volume and the drive
// that has the volume's serial number.
std::optional<std::wstring> PathOnDrive(HANDLE handle) {
    DWORD serial = 0;
    if (!::GetVolumeInformationByHandleW(handle, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        return std::nullopt;
    std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 2 * kLongestPath);
    auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!::GetFileInformationByHandleEx(handle, FileNameInfo, name,
                                        static_cast<DWORD>(buffer.size())))
        return std::nullopt;
    wchar_t drives[4 * 26 + 1] = {};
    if (::GetLogicalDriveStringsW(4 * 26, drives) == 0) return std::nullopt;
    for (const wchar_t* drive = drives; *drive; drive += 4) {
        DWORD driveSerial = 0;
        if (::GetVolumeInformationW(drive, nullptr, 0, &driveSerial, nullptr, nullptr, nullptr,
                                    0) &&
            driveSerial == serial)
            return kLongPrefix + std::wstring(drive, 2) +
                   std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
    }
    return std::nullopt;
}

std::optional<std::wstring> PathOf(HANDLE handle) {
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD length = ::GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (length == 0) return PathOnDrive(handle);
    std::wstring path(length, L'\0');
    const DWORD got = ::GetFinalPathNameByHandleW(handle, path.data(), length, flags);
    if (got == 0 || got >= length) return PathOnDrive(handle);
    path.resize(got);
    return path;
}

int OpenFolder(const std::wstring& path) {
    const HANDLE folder =
        ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return FailFromLastError();
    return DescriptorOf(folder);
}

namespace {
std::mutex g_listsLock;
std::set<int> g_openLists;

// The volume's serial number and the file's index on it; nothing when
// they cannot be had.
std::optional<std::pair<uint64_t, uint64_t>> IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION about{};
    if (!::GetFileInformationByHandle(file, &about)) return std::nullopt;
    return std::pair(uint64_t{about.dwVolumeSerialNumber},
                     (uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow);
}
}  // namespace

void NoteOpenList(int fd) {
    const std::lock_guard lock(g_listsLock);
    g_openLists.insert(fd);
}

void ForgetDescriptor(int fd) {
    const std::lock_guard lock(g_listsLock);
    g_openLists.erase(fd);
}

void CloseOpenList(const std::wstring& path) {
    const HANDLE named = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE) return;
    const auto file = IdentityOf(named);
    ::CloseHandle(named);
    if (!file) return;
    const std::lock_guard lock(g_listsLock);
    const int nul = ::_wopen(L"NUL", _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (nul < 0) return;
    for (auto at = g_openLists.begin(); at != g_openLists.end();) {
        if (IdentityOf(HandleOf(*at)) == file && ::_dup2(nul, *at) == 0)
            at = g_openLists.erase(at);
        else
            ++at;
    }
    ::_close(nul);
}

std::mutex& StopLock() {
    static std::mutex lock;
    return lock;
}
}  // namespace win32

}  // namespace lintrim
