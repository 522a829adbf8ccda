// Writing a list's replacement and committing it on Windows. The promises
// are those of the Linux file, in Windows terms: the new file is made in the
// list's kept folder (TemporaryFile: marked for deletion until just before
// its rename), flushed with FlushFileBuffers, renamed over the list by its
// own handle only if the list's name still holds the very file that was
// read, unchanged, and flushed again so that the rename is on disk. The
// list's attributes (hidden, system, archive...), creation time and an
// access control list of its own come along (the owner does not: the new
// file is the user's). A list that may not be written (read-only, or denied
// by its permissions) is left alone.
#include "write/ReplacementFile.h"

#include <aclapi.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"
#include "os/SystemFacts.h"
#include "os/windows/Win32.h"

namespace {
constexpr size_t kWriteBufferSize = size_t{256} << 10;
size_t g_bufferSize = kWriteBufferSize;
void (*g_commitPause)() = nullptr;

[[noreturn]] void Fail(const char* text, const std::string& subject, FailureCause cause) {
    throw JobFailure(text, std::move(cause), subject);
}
[[noreturn]] void CantOpen(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeOpened, subject, std::move(cause));
}
[[noreturn]] void CantWrite(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeWritten, subject, std::move(cause));
}
// The Win32 call `operation` just failed.
[[noreturn]] void CantWrite(const std::string& subject, const char* operation) {
    win32::FailFromLastError();
    CantWrite(subject, FailureCause::FromErrno(operation));
}

std::wstring FolderPath(int folder) {
    return win32::PathOf(win32::HandleOf(folder)).value_or(L"");
}

// A read-only list is left alone, as Windows leaves it even to an
// administrator; otherwise the system's own answer: the list opened for
// writing, and closed at once.
void CheckWritable(int folder, const std::string& name, mode_t mode, const std::string& subject) {
    if ((mode & 0222) == 0) CantOpen(subject, {0, "its read-only attribute is set"});
    const HANDLE file =
        ::CreateFileW(win32::Joined(FolderPath(folder), name).c_str(), FILE_WRITE_DATA,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        win32::FailFromLastError();
        CantOpen(subject, FailureCause::FromErrno("CreateFile"));
    }
    ::CloseHandle(file);
}

ByteBuffer TakeBuffer(size_t bytes) {
    ByteBuffer buffer;
    buffer.Reserve(bytes);
    return buffer;
}

// Where the system cannot rename over an open file, the list is closed,
// and its lock goes with it, for the instant before the rename.
bool RenameOverClosedList(TemporaryFile& file, const ListLocation* list, const std::string& name) {
    if (errno != EACCES || !list) return false;
    win32::CloseOpenList(list->Identity().device, list->Identity().inode);
    return file.RenameOver(name);
}

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

// False only when the list has an ACL of its own that could not be copied.
bool CopyAcl(HANDLE from, HANDLE to) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(from, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                          nullptr, &descriptor) != ERROR_SUCCESS)
        return true;  // no ACL to be had: nothing of the list's to keep
    bool isProtected = false;
    bool copied = true;
    if (HasOwnAcl(descriptor, acl, isProtected)) {
        const SECURITY_INFORMATION what =
            DACL_SECURITY_INFORMATION | (isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION);
        copied = ::SetSecurityInfo(to, SE_FILE_OBJECT, what, nullptr, nullptr, acl, nullptr) ==
                 ERROR_SUCCESS;
    }
    ::LocalFree(descriptor);
    return copied;
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

void ReplacementFile::SetBufferSizeForTesting(size_t bytes) {
    g_bufferSize = bytes ? bytes : kWriteBufferSize;
}

void ReplacementFile::SetCommitPauseForTesting(void (*pause)()) {
    g_commitPause = pause;
}

ReplacementFile::ReplacementFile(const ListLocation& list, std::string subject)
    : m_list(&list),
      m_checkUnchanged(true),
      m_folder(list.Folder()),
      m_name(list.Name()),
      m_mode(list.Mode()),
      m_subject(std::move(subject)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary()) {}

ReplacementFile::ReplacementFile(Owned, ListLocation existing, std::string subject)
    : m_own(std::move(existing)),
      m_list(&*m_own),
      m_checkUnchanged(false),
      m_folder(m_own->Folder()),
      m_name(m_own->Name()),
      m_mode(m_own->Mode()),
      m_subject(std::move(subject)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary()) {}

ReplacementFile::ReplacementFile(FileHandle folder, std::string name, std::string subject)
    : m_ownFolder(std::move(folder)),
      m_folder(m_ownFolder.Get()),
      m_name(std::move(name)),
      m_mode(0666),
      m_subject(std::move(subject)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary()) {}

std::unique_ptr<ReplacementFile> ReplacementFile::Over(ListLocation existing, std::string subject) {
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(Owned{}, std::move(existing), std::move(subject)));
}

// A name that holds something that is not a file (a folder, a link to
// nothing) is refused rather than replaced.
std::unique_ptr<ReplacementFile> ReplacementFile::Create(const std::string& path) {
    FailureCause why;
    std::optional<ListLocation> existing =
        ListLocation::Open(path, ListLocation::Lock::kExclusive, &why);
    if (existing) return Over(std::move(*existing), path);
    if (why.error != ENOENT) CantOpen(path, std::move(why));
    std::string name = NameOf(path);
    if (name.empty() || name == "." || name == "..") CantOpen(path, {EISDIR, {}});
    FileHandle folder(win32::OpenFolder(win32::SystemPath(system_facts::FolderOf(path))));
    if (!folder.IsOpen()) CantOpen(path, FailureCause::FromOpen());
    const DWORD attributes =
        ::GetFileAttributesW(win32::Joined(FolderPath(folder.Get()), name).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        CantOpen(path, {0, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? "a link to nothing"
                                                                       : "not a regular file"});
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(std::move(folder), std::move(name), path));
}

TemporaryFile ReplacementFile::MakeTemporary() {
    if (m_list) CheckWritable(m_folder, m_name, m_mode, m_subject);
    TemporaryFile::RemoveLeftovers(m_folder, m_name);
    FailureCause why;
    std::optional<TemporaryFile> file = TemporaryFile::Create(m_folder, m_name, why);
    if (!file) CantOpen(m_subject, std::move(why));
    return std::move(*file);
}

void ReplacementFile::Write(const char* bytes, size_t size) {
    if (size > m_capacity - m_used) {
        Flush();
        if (size >= m_capacity) return WriteOut(bytes, size);  // a very long line
    }
    std::memcpy(static_cast<char*>(m_buffer.Data()) + m_used, bytes, size);
    m_used += size;
}

void ReplacementFile::Flush() {
    WriteOut(static_cast<const char*>(m_buffer.Data()), m_used);
    m_used = 0;
}

void ReplacementFile::WriteOut(const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = Sys().Write(m_temporary.Descriptor(), bytes, size);
        if (done == 0) CantWrite(m_subject, {ENOSPC, {}, "WriteFile"});
        if (done < 0) CantWrite(m_subject, FailureCause::FromErrno("WriteFile"));
        bytes += done;
        size -= static_cast<size_t>(done);
    }
}

// The file loses its mark for deletion only now, so a run ended before this
// point leaves nothing; the check of a replaced list comes as late as it can.
void ReplacementFile::Commit() {
    Flush();
    CopyAttributes();
    if (Sys().Fsync(m_temporary.Descriptor()) != 0)
        CantWrite(m_subject, FailureCause::FromErrno("FlushFileBuffers"));
    if (m_keepOpen) m_kept = FileHandle(::_dup(m_temporary.Descriptor()));
    if (m_keepOpen && !m_kept.IsOpen())
        CantWrite(m_subject, FailureCause::FromErrno("DuplicateHandle"));
    if (!m_temporary.Link())
        CantWrite(m_subject, FailureCause::FromErrno("SetFileInformationByHandle"));
    if (!m_temporary.Close()) CantWrite(m_subject, FailureCause::FromErrno("CloseHandle"));
    if (g_commitPause) g_commitPause();
    if (m_checkUnchanged && !m_list->Unchanged())
        throw JobFailure(status::kInputChanged, {}, m_subject);
    if (!m_temporary.RenameOver(m_name) && !RenameOverClosedList(m_temporary, m_list, m_name))
        CantWrite(m_subject, FailureCause::FromErrno("rename"));
    SyncFolder();
}

FileHandle ReplacementFile::CommitKeepingFile() {
    m_keepOpen = true;
    Commit();
    return std::move(m_kept);
}

// What a file carries besides its bytes: its attributes, its creation time
// and an access control list of its own.
void ReplacementFile::CopyAttributes() {
    if (!m_list) return;
    FILE_BASIC_INFO list{};
    if (!::GetFileInformationByHandleEx(win32::HandleOf(m_list->Descriptor()), FileBasicInfo, &list,
                                        sizeof list))
        CantWrite(m_subject, "GetFileInformationByHandleEx");
    FILE_BASIC_INFO made{};
    made.CreationTime = list.CreationTime;
    made.FileAttributes = list.FileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (made.FileAttributes == 0) made.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(win32::HandleOf(m_temporary.Descriptor()), FileBasicInfo,
                                      &made, sizeof made))
        CantWrite(m_subject, "SetFileInformationByHandle");
    if (!CopyAcl(win32::HandleOf(m_list->Descriptor()), win32::HandleOf(m_temporary.Descriptor())))
        CantWrite(m_subject, {0, "its access control list can't be copied"});
}

mode_t ReplacementFile::KeepOwnership(int, uid_t, gid_t, mode_t mode) const {
    return mode;
}

// TemporaryFile::RenameOver flushed the moved file, as MOVEFILE_WRITE_THROUGH
// does: there is no folder to sync besides.
void ReplacementFile::SyncFolder() {}
