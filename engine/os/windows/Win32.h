// What the engine's Windows files share: paths are UTF-8 inside the program
// and UTF-16 towards the system, descriptors are the C runtime's (binary,
// over a Win32 handle) so that the system-neutral code reads and writes them
// through the same seam, and Win32 errors are told as errno values, whose
// texts are the C runtime's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace lintrim {

namespace win32 {
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// A path for the wide calls, full and with the \\?\ prefix, so that no
// length limit applies.
std::wstring SystemPath(const std::string& utf8);
// `folder` + `\` + `name`, for the wide calls.
std::wstring Joined(const std::wstring& folder, const std::string& name);
// The path of `name` in the folder open as `folder`; nothing, with errno
// set, when the folder's path cannot be had.
std::optional<std::wstring> PathIn(int folder, const std::string& name);

// Sets errno from GetLastError() and returns -1.
int FailFromLastError();
int ErrnoOf(DWORD error);

// The handle under a descriptor; INVALID_HANDLE_VALUE for none.
HANDLE HandleOf(int fd);
// A binary descriptor owning `handle`; -1 (with the handle closed) when the
// runtime's table is full.
int DescriptorOf(HANDLE handle);
// The full path of an open file or folder, \\?\ prefixed; nothing when it
// has none.
std::optional<std::wstring> PathOf(HANDLE handle);
// A folder held open as a descriptor, for its path and for the folder's
// own calls. It is held without FILE_SHARE_DELETE: while a run holds it, the
// folder cannot be renamed or removed, so its path keeps leading to it.
int OpenFolder(const std::wstring& path);

// The lists this process holds open. Windows renames nothing over an open
// file (before its POSIX semantics), so just before a list's replacement
// takes its name, the list's own descriptors are closed: each is pointed at
// the NUL device instead, which its owner closes in its time.
void NoteOpenList(int fd);
void ForgetDescriptor(int fd);
// Closes the noted descriptors of the file at `path`, a link not followed.
void CloseOpenList(const std::wstring& path);

// Held while a named temporary file is renamed into place, and by the stop
// handler until the process ends: a stop either comes before the rename
// (and the file is removed) or after it (and nothing is named any more).
std::mutex& StopLock();
}  // namespace win32

}  // namespace lintrim
