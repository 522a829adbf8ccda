// Temporary files on Windows.
//
// Windows has no unnamed files: the new file is made under its short random
// name (CREATE_NEW) and at once marked for deletion (FileDispositionInfo),
// so that it vanishes when its last handle closes, however the run ends,
// even by TerminateProcess. Naming it takes the mark back. The file is open
// without sharing but for deletion: no other run can open it, which is how a
// live run's file is told from a leftover.
//
// The rename is SetFileInformationByHandle on the file's own handle, not
// MoveFileExW on its name: it moves the very file that was written, whatever
// was done to its name meanwhile, over the list's name in the same folder,
// in one step. POSIX semantics (FileRenameInfoEx) let it replace a list that
// is open, as the list is during the run; a system without them takes the
// plain FileRenameInfo, and there the run's own handles on the list are
// closed first.
#include <cerrno>
#include <vector>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
// What the run does with its own temporary file: write it, rename it, and
// give it the list's access control list.
constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC;
// FileRenameInfoEx (Windows 10 1709), which MinGW's headers name only for
// a later target version than the program's.
constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

bool MarkForDeletion(HANDLE file, bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition);
}

HANDLE MakeNew(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), kAccess, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool RenameByHandle(HANDLE file, const std::wstring& target, FILE_INFO_BY_HANDLE_CLASS kind,
                    DWORD flags) {
    const size_t bytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = flags;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    target.copy(rename->FileName, target.size());
    return ::SetFileInformationByHandle(file, kind, rename, static_cast<DWORD>(buffer.size()));
}

bool Unsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED;
}

bool Rename(HANDLE file, const std::wstring& target) {
    if (RenameByHandle(file, target, kRenameInfoEx,
                       FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS))
        return true;
    return Unsupported(::GetLastError()) && RenameByHandle(file, target, FileRenameInfo, TRUE);
}
}  // namespace

// A file that cannot be marked is removed again: EINVAL sends the run to
// named files.
int SystemCalls::MakeTemporary(int folder, const char* name, int) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    const HANDLE file = MakeNew(*path);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    if (!MarkForDeletion(file, true)) {
        win32::FailFromLastError();
        ::CloseHandle(file);
        ::DeleteFileW(path->c_str());
        return -1;
    }
    return win32::DescriptorOf(file);
}
int SystemCalls::MakeNamed(int folder, const char* name, int) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    const HANDLE file = MakeNew(*path);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    return win32::DescriptorOf(file);
}
int SystemCalls::NameTemporary(int fd, int, const char*) {
    return MarkForDeletion(win32::HandleOf(fd), false) ? 0 : win32::FailFromLastError();
}

// Where the system renames nothing over an open file, the run's own
// handles on the list are closed, and its lock goes with them, for the
// instant before the rename.
int SystemCalls::MoveOver(int fd, int folder, const char*, const char* target) {
    const std::optional<std::wstring> path = win32::PathIn(folder, target);
    if (!path) return -1;
    const HANDLE file = win32::HandleOf(fd);
    if (Rename(file, *path)) return 0;
    win32::FailFromLastError();
    if (errno != EACCES) return -1;
    win32::CloseOpenList(*path);
    return Rename(file, *path) ? 0 : win32::FailFromLastError();
}
int SystemCalls::RemoveTemporary(int fd, int, const char*) {
    return MarkForDeletion(win32::HandleOf(fd), true) ? 0 : win32::FailFromLastError();
}
// A live run's file is open without sharing: it cannot be opened here.
int SystemCalls::OpenLeftover(int folder, const char* name) {
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    const HANDLE file = ::CreateFileW(path->c_str(), GENERIC_READ | DELETE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    return win32::DescriptorOf(file);
}

int SystemCalls::ListFolder(int folder, const std::function<void(const char*)>& each) {
    const std::optional<std::wstring> pattern = win32::PathIn(folder, "*");
    if (!pattern) return -1;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileW(pattern->c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    do {
        each(win32::Utf8(entry.cFileName).c_str());
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return 0;
}

uint64_t SystemCalls::Random() {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    const uint64_t value = static_cast<uint64_t>(counter.QuadPart) * 0x9e3779b97f4a7c15ull;
    return value ^ (uint64_t{::GetCurrentProcessId()} << 40) ^ ::GetTickCount64();
}

}  // namespace lintrim
