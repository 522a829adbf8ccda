// Making, naming, renaming and removing temporary files on Windows.
//
// Windows has no unnamed files: the new file is made under its short random
// name (CREATE_NEW) and at once marked for deletion (FileDispositionInfo),
// so that it vanishes when its last handle closes, however the run ends,
// even by TerminateProcess. Link() takes the mark back just before the
// rename. The file is open without sharing but for deletion: no other run
// can open it, which is how a live run's file is told from a leftover.
//
// The rename is SetFileInformationByHandle on the file's own handle, not
// MoveFileExW on its name: it moves the very file that was written, whatever
// was done to its name meanwhile, over the list's name in the same folder,
// in one step. POSIX semantics (FileRenameInfoEx) let it replace a list that
// is open, as the list is during the run; a system without them takes the
// plain FileRenameInfo. The moved file is then flushed, as
// MOVEFILE_WRITE_THROUGH does, so that the new name is on disk.
#include "os/TemporaryFile.h"

#include <io.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace {
constexpr char kPrefix[] = ".lintrim-";
constexpr size_t kHexDigits = 16;
constexpr size_t kNameLength = sizeof kPrefix - 1 + kHexDigits + 1 + kHexDigits;
constexpr int kNameTries = 8;
// FileRenameInfoEx (Windows 10 1709), which MinGW's headers name only for
// a later target version than the program's.
constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

std::string Hex(uint64_t value) {
    char text[kHexDigits + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// FNV-1a: stable across runs and builds, unlike std::hash.
std::string TagOf(const std::string& listName) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char byte : listName) hash = (hash ^ byte) * 0x100000001b3ull;
    return Hex(hash);
}

uint64_t RandomNumber() {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    uint64_t value = static_cast<uint64_t>(counter.QuadPart) * 0x9e3779b97f4a7c15ull;
    return value ^ (uint64_t{::GetCurrentProcessId()} << 40) ^ ::GetTickCount64();
}

std::string NewName(const std::string& tag) {
    return kPrefix + tag + "-" + Hex(RandomNumber());
}

bool MarkForDeletion(HANDLE file, bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition);
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

std::optional<std::wstring> FolderPath(int folder) {
    return win32::PathOf(win32::HandleOf(folder));
}

// A leftover opens only when no one holds it: a live run's file is open
// without sharing. It goes when the handle closes.
void RemoveIfAbandoned(const std::wstring& path) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

bool IsLeftover(const std::wstring& entry, const std::wstring& ours) {
    return entry.size() == kNameLength &&
           entry.find_first_not_of(L"0123456789abcdef", ours.size()) == std::wstring::npos;
}
}  // namespace

std::optional<TemporaryFile> TemporaryFile::Create(int folder, const std::string& listName,
                                                   FailureCause& why, int) {
    const std::optional<std::wstring> path = FolderPath(folder);
    if (!path) return why = FailureCause::FromErrno("GetFinalPathNameByHandle"), std::nullopt;
    const std::string tag = TagOf(listName);
    why = {EEXIST, {}, "CreateFile"};  // every name tried was taken
    for (int i = 0; i < kNameTries; ++i) {
        const HANDLE file =
            ::CreateFileW(win32::Joined(*path, NewName(tag)).c_str(),
                          GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC, FILE_SHARE_DELETE,
                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
        if (file == INVALID_HANDLE_VALUE)
            return win32::FailFromLastError(), why = FailureCause::FromErrno("CreateFile"),
                                               std::nullopt;
        if (!MarkForDeletion(file, true)) {
            win32::FailFromLastError();
            why = FailureCause::FromErrno("SetFileInformationByHandle");
            ::CloseHandle(file);
            return std::nullopt;
        }
        TemporaryFile made(folder, tag, FileHandle(win32::DescriptorOf(file)));
        if (!made.m_file.IsOpen() || !made.HoldLock(why)) return std::nullopt;
        return made;
    }
    return std::nullopt;
}

void TemporaryFile::RemoveLeftovers(int folder, const std::string& listName) {
    const std::optional<std::wstring> path = FolderPath(folder);
    if (!path) return;
    const std::wstring ours = win32::Wide(kPrefix + TagOf(listName) + "-");
    WIN32_FIND_DATAW entry{};
    const HANDLE search =
        ::FindFirstFileW(win32::Joined(*path, win32::Utf8(ours) + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (IsLeftover(entry.cFileName, ours))
            RemoveIfAbandoned(*path + L"\\" + std::wstring(entry.cFileName));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(other.m_folder),
      m_tag(std::move(other.m_tag)),
      m_file(std::move(other.m_file)),
      m_lock(std::move(other.m_lock)),
      m_name(std::exchange(other.m_name, {})),
      m_registered(std::move(other.m_registered)) {}

// A file that lost its mark for deletion gets it back before its handles close.
TemporaryFile::~TemporaryFile() {
    if (IsNamed() && m_lock.IsOpen()) MarkForDeletion(win32::HandleOf(m_lock.Get()), true);
    m_file.Close();
}

// The lock is a second handle of the same open file: it holds the file
// (and, by its sharing, keeps other runs out) until the rename, though the
// first is closed before it.
bool TemporaryFile::HoldLock(FailureCause& why) {
    m_lock = FileHandle(::_dup(Descriptor()));
    if (!m_lock.IsOpen()) return why = FailureCause::FromErrno("DuplicateHandle"), false;
    return true;
}

void TemporaryFile::Forget() {
    m_name.clear();
    m_registered.Clear();
}

void TemporaryFile::TakeName(std::string name) {
    m_name = std::move(name);
    m_registered = RegisteredName(m_folder, m_name);
}

// The name the file was made under stays; only its mark for deletion goes.
bool TemporaryFile::Link() {
    if (IsNamed()) return true;
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(Descriptor()));
    if (!path) return win32::FailFromLastError(), false;
    const std::lock_guard stop(win32::StopLock());
    if (!MarkForDeletion(win32::HandleOf(Descriptor()), false))
        return win32::FailFromLastError(), false;
    TakeName(win32::Utf8(path->substr(path->find_last_of(L'\\') + 1)));
    return true;
}

bool TemporaryFile::RenameOver(const std::string& target) {
    const std::optional<std::wstring> folder = FolderPath(m_folder);
    if (!folder) return win32::FailFromLastError(), false;
    const std::wstring path = win32::Joined(*folder, target);
    const HANDLE file = win32::HandleOf(m_lock.Get());
    const std::lock_guard stop(win32::StopLock());
    bool renamed =
        RenameByHandle(file, path, kRenameInfoEx,
                       FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS);
    if (!renamed && Unsupported(::GetLastError()))
        renamed = RenameByHandle(file, path, FileRenameInfo, TRUE);
    if (!renamed) return win32::FailFromLastError(), false;
    Forget();
    const bool flushed = ::FlushFileBuffers(file);
    if (!flushed) win32::FailFromLastError();
    m_lock.Close();
    return flushed;
}

void TemporaryFile::Unlink() {
    if (m_lock.IsOpen()) MarkForDeletion(win32::HandleOf(m_lock.Get()), true);
    Forget();
}
