// Replacing a file on Windows: a read-only list is left alone, as Windows
// leaves it even to an administrator; the list's attributes, creation time
// and an access control list of its own are copied by handle; the owner is
// not (the new file is the user's); and the moved file is flushed again
// after its rename, as MOVEFILE_WRITE_THROUGH does, so that the new name
// is on disk.
#include <aclapi.h>

#include <cerrno>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
// An ACL of the list's own (protected, or with entries not inherited from
// its folder): the new file would otherwise take the folder's, which can
// grant more than the list did.
bool HasOwnAcl(PSECURITY_DESCRIPTOR descriptor, PACL acl, bool& isProtected) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!acl || !::GetSecurityDescriptorControl(descriptor, &control, &revision)) return false;
    isProtected = control & SE_DACL_PROTECTED;
    bool own = isProtected;
    for (DWORD i = 0; i < acl->AceCount && !own; ++i) {
        ACE_HEADER* entry = nullptr;
        own = ::GetAce(acl, i, reinterpret_cast<void**>(&entry)) &&
              !(entry->AceFlags & INHERITED_ACE);
    }
    return own;
}

bool SetAcl(HANDLE to, PACL acl, bool isProtected) {
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        (isProtected ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    return ::SetSecurityInfo(to, SE_FILE_OBJECT, what, nullptr, nullptr, acl, nullptr) ==
           ERROR_SUCCESS;
}
}  // namespace

// The system's own answer: the list opened for writing, and closed at once.
// A read-only list is refused before, with EROFS.
int SystemCalls::MayWrite(int folder, const char* name, unsigned mode) {
    if ((mode & 0222) == 0) return errno = EROFS, -1;
    const std::optional<std::wstring> path = win32::PathIn(folder, name);
    if (!path) return -1;
    const HANDLE file = ::CreateFileW(
        path->c_str(), FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return win32::FailFromLastError();
    ::CloseHandle(file);
    return 0;
}

unsigned SystemCalls::NewFileMode() {
    return 0666;
}

// Windows files have no POSIX owner or group.
int SystemCalls::Fchown(int, uint32_t, uint32_t) {
    errno = ENOSYS;
    return -1;
}

int SystemCalls::CopyAccess(int from, int to) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(win32::HandleOf(from), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, &acl, nullptr, &descriptor) != ERROR_SUCCESS)
        return 0;  // no ACL to be had: nothing of the list's to keep
    bool isProtected = false;
    const bool copied =
        !HasOwnAcl(descriptor, acl, isProtected) || SetAcl(win32::HandleOf(to), acl, isProtected);
    ::LocalFree(descriptor);
    return copied ? 0 : -1;
}

// The read-only attribute follows the mode; a new file keeps what it was
// made with.
int SystemCalls::SetAttributes(int to, unsigned mode, int from) {
    if (from < 0) return 0;
    FILE_BASIC_INFO list{};
    if (!::GetFileInformationByHandleEx(win32::HandleOf(from), FileBasicInfo, &list, sizeof list))
        return win32::FailFromLastError();
    FILE_BASIC_INFO made{};
    made.CreationTime = list.CreationTime;
    made.FileAttributes = list.FileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if ((mode & 0222) == 0) made.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    if (made.FileAttributes == 0) made.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(win32::HandleOf(to), FileBasicInfo, &made, sizeof made))
        return win32::FailFromLastError();
    return 0;
}

// The flush before the commit writes the file out whole.
int SystemCalls::StartWriteBack(int, off_t, off_t) {
    return 0;
}

int SystemCalls::SyncRename(int, int file) {
    return ::FlushFileBuffers(win32::HandleOf(file)) ? 0 : win32::FailFromLastError();
}

}  // namespace lintrim
