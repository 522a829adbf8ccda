// The facts as Windows gives them: GlobalMemoryStatusEx, the processor
// count of every group, the system's temporary folder (TMP, TEMP, ...).
#include "os/SystemFacts.h"

#include "os/windows/Win32.h"

namespace lintrim {

namespace system_facts {
uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return ::GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
}

// The user part of the address space, which on 64-bit Windows is far more
// than any memory: a limit only where a job object sets one.
uint64_t AddressSpaceLimit() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return ::GlobalMemoryStatusEx(&status) ? status.ullTotalVirtual : UINT64_MAX;
}

unsigned Processors() {
    const DWORD count = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return count ? count : 1;
}

std::string TemporaryFolder() {
    wchar_t path[MAX_PATH + 2];
    const DWORD length = ::GetTempPathW(MAX_PATH + 2, path);
    if (length == 0 || length > MAX_PATH + 1) return ".";
    std::wstring folder(path, length);
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return win32::Utf8(folder);
}

bool IsCharacterDevice(const std::string& path) {
    const HANDLE file = ::CreateFileW(win32::SystemPath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool device = ::GetFileType(file) == FILE_TYPE_CHAR;
    ::CloseHandle(file);
    return device;
}

// Either slash ends a folder; a drive's root keeps its slash, and a bare
// drive ("C:x") means that drive's current folder.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const bool drive = path.size() >= 2 && path[1] == ':';
    if (slash == std::string::npos) return drive ? path.substr(0, 2) : ".";
    if (slash == 0 || (drive && slash == 2)) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}
}  // namespace system_facts

}  // namespace lintrim
