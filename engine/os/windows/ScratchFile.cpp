// Scratch files on Windows: a random name in the folder, opened with
// FILE_FLAG_DELETE_ON_CLOSE and shared with no one, so the file goes with
// its handle however the run ends, a killed run included.
#include "os/ScratchFile.h"

#include <cerrno>
#include <cstdio>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
constexpr int kNameTries = 8;

std::string RandomName() {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    const uint64_t value = static_cast<uint64_t>(counter.QuadPart) * 0x9e3779b97f4a7c15ull ^
                           (uint64_t{::GetCurrentProcessId()} << 40);
    char name[40];
    std::snprintf(name, sizeof name, ".lintrim-scratch-%016llx",
                  static_cast<unsigned long long>(value));
    return name;
}
}  // namespace

ScratchFile ScratchFile::Create(const std::string& folder) {
    const HANDLE kept = ::CreateFileW(win32::SystemPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (kept == INVALID_HANDLE_VALUE) {
        win32::FailFromLastError();
        throw JobFailure(status::kTemporaryCantBeMade, FailureCause::FromOpen(), folder);
    }
    const std::optional<std::wstring> path = win32::PathOf(kept);
    ::CloseHandle(kept);
    if (!path) throw JobFailure(status::kTemporaryCantBeMade, {0, "not a folder"}, folder);
    for (int i = 0; i < kNameTries; ++i) {
        const HANDLE file = ::CreateFileW(
            win32::Joined(*path, RandomName()).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
            nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
        if (file == INVALID_HANDLE_VALUE) {
            win32::FailFromLastError();
            throw JobFailure(status::kTemporaryCantBeMade, FailureCause::FromErrno("CreateFile"),
                             folder);
        }
        FileHandle handle(win32::DescriptorOf(file));
        if (!handle.IsOpen())
            throw JobFailure(status::kTemporaryCantBeMade, FailureCause::FromErrno("open"), folder);
        return ScratchFile(std::move(handle));
    }
    throw JobFailure(status::kTemporaryCantBeMade, {EEXIST, {}, "CreateFile"}, folder);
}

}  // namespace lintrim
