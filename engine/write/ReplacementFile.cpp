// Writing a list's replacement and committing it by rename.
#include "write/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"

namespace {
// Large enough that writes cost little, small enough not to count in the peak.
constexpr size_t kWriteBufferSize = size_t{256} << 10;
size_t g_bufferSize = kWriteBufferSize;
// The disk is asked to start writing the new file each time this much more
// of it has been written.
constexpr uint64_t kWriteBackStep = uint64_t{8} << 20;
void (*g_commitPause)() = nullptr;

// An access ACL that could not be copied would leave the owning group with
// the mask's rights, which can be more than the list gave it.
constexpr char kAccessAcl[] = "system.posix_acl_access";

[[noreturn]] void Fail(const char* text, const std::string& subject, FailureCause cause) {
    throw JobFailure(text, std::move(cause), subject);
}
[[noreturn]] void CantOpen(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeOpened, subject, std::move(cause));
}
[[noreturn]] void CantWrite(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeWritten, subject, std::move(cause));
}
// The call `operation` just failed.
[[noreturn]] void CantWrite(const std::string& subject, const char* operation) {
    CantWrite(subject, FailureCause::FromErrno(operation));
}

// Root may write anything, but a file whose write bits are all off was made
// read-only on purpose and is left alone, as access(2) would say for anyone else.
void CheckWritable(int folder, const std::string& name, mode_t mode, const std::string& subject) {
    if (Sys().Faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
        CantOpen(subject, FailureCause::FromErrno("access"));
    if (::geteuid() == 0 && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        CantOpen(subject, {EACCES, {}, "access"});
}

// Throws std::bad_alloc ("not enough memory") when the buffer cannot be had.
ByteBuffer TakeBuffer(size_t bytes) {
    ByteBuffer buffer;
    buffer.Reserve(bytes);
    return buffer;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// False only when the attribute exists and could not be copied.
bool CopyAttribute(int from, int to, const char* name, std::vector<char>& value) {
    const ssize_t length = Sys().Fgetxattr(from, name, nullptr, 0);
    if (length < 0) return true;
    value.resize(static_cast<size_t>(length));
    const ssize_t got = Sys().Fgetxattr(from, name, value.data(), value.size());
    return got < 0 || Sys().Fsetxattr(to, name, value.data(), static_cast<size_t>(got), 0) == 0;
}

// Attributes the file system or this user cannot set (security labels,
// trusted names) are left behind; only the access ACL must come along.
bool CopyExtendedAttributes(int from, int to) {
    const ssize_t size = Sys().Flistxattr(from, nullptr, 0);
    if (size <= 0) return true;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t got = Sys().Flistxattr(from, names.data(), names.size());
    std::vector<char> value;
    for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[static_cast<size_t>(at)];
        if (!CopyAttribute(from, to, name, value) && std::strcmp(name, kAccessAcl) == 0)
            return false;
    }
    return true;
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
      m_mode(NewFileMode()),
      m_subject(std::move(subject)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary()) {}

std::unique_ptr<ReplacementFile> ReplacementFile::Over(ListLocation existing, std::string subject) {
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(Owned{}, std::move(existing), std::move(subject)));
}

// An existing file is found as a list is (the kernel follows links under its
// own rules) and held with a list's lock, so that a run cleaning it in place
// and this one cannot both replace it. A new one is made in the folder the
// kernel finds for it; a name that is a link to nothing is refused rather
// than replaced.
std::unique_ptr<ReplacementFile> ReplacementFile::Create(const std::string& path) {
    FailureCause why;
    std::optional<ListLocation> existing =
        ListLocation::Open(path, ListLocation::Lock::kExclusive, &why);
    if (existing) return Over(std::move(*existing), path);
    if (why.error != ENOENT) CantOpen(path, std::move(why));
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") CantOpen(path, {EISDIR, {}});
    FileHandle folder(Sys().Open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY, 0));
    if (!folder.IsOpen()) CantOpen(path, FailureCause::FromOpen());
    struct stat info {};
    if (Sys().Fstatat(folder.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        CantOpen(path, {0, S_ISLNK(info.st_mode) ? "a link to nothing" : "not a regular file"});
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(std::move(folder), std::move(name), path));
}

// What carries the name's tag is what a killed run left: the list's lock
// keeps other runs on it away.
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
        if (done < 0 && errno == EINTR) continue;
        if (done == 0) CantWrite(m_subject, {ENOSPC, {}, "write"});
        if (done < 0) CantWrite(m_subject, "write");
        bytes += done;
        size -= static_cast<size_t>(done);
        m_written += static_cast<uint64_t>(done);
    }
    if (m_written - m_writtenBack >= kWriteBackStep) StartWriteBack();
}

// Only a request: the flush at the commit still says whether it all
// reached the disk.
void ReplacementFile::StartWriteBack() {
    ::sync_file_range(m_temporary.Descriptor(), static_cast<off_t>(m_writtenBack),
                      static_cast<off_t>(m_written - m_writtenBack), SYNC_FILE_RANGE_WRITE);
    m_writtenBack = m_written;
}

// The new file gets its name only now, so a run killed before this point
// leaves nothing; the check of a replaced list comes as late as it can.
void ReplacementFile::Commit() {
    Flush();
    CopyAttributes();
    if (Sys().Fsync(m_temporary.Descriptor()) != 0) CantWrite(m_subject, "fsync");
    if (m_keepOpen) m_kept = FileHandle(::fcntl(m_temporary.Descriptor(), F_DUPFD_CLOEXEC, 0));
    if (m_keepOpen && !m_kept.IsOpen()) CantWrite(m_subject, "fcntl");
    if (!m_temporary.Link()) CantWrite(m_subject, "link");
    if (!m_temporary.Close()) CantWrite(m_subject, "close");
    if (g_commitPause) g_commitPause();
    if (m_checkUnchanged && !m_list->Unchanged())
        throw JobFailure(status::kInputChanged, {}, m_subject);
    if (!m_temporary.RenameOver(m_name)) CantWrite(m_subject, "rename");
    SyncFolder();
}

FileHandle ReplacementFile::CommitKeepingFile() {
    m_keepOpen = true;
    Commit();
    return std::move(m_kept);
}

// Owner first: changing the owner clears set-id bits and file capabilities,
// which the attributes and fchmod then restore. Only root may give a file
// away, and others may give it only their own groups: a set-id bit is kept
// only where the owner or group it was given for could be kept too.
void ReplacementFile::CopyAttributes() {
    const int fd = m_temporary.Descriptor();
    mode_t mode = m_mode;
    if (m_list) {
        mode = KeepOwnership(fd, m_list->Owner(), m_list->Group(), mode);
        if (!CopyExtendedAttributes(m_list->Descriptor(), fd))
            CantWrite(m_subject, {0, "its access ACL can't be copied"});
    }
    if (Sys().Fchmod(fd, mode) != 0) CantWrite(m_subject, "fchmod");
}

mode_t ReplacementFile::KeepOwnership(int fd, uid_t owner, gid_t group, mode_t mode) const {
    if (Sys().Fchown(fd, owner, group) != 0) Sys().Fchown(fd, static_cast<uid_t>(-1), group);
    struct stat made {};
    if (Sys().Fstat(fd, &made) != 0) CantWrite(m_subject, "stat");
    if (made.st_uid != owner) mode &= ~static_cast<mode_t>(S_ISUID);
    if (made.st_gid != group) mode &= ~static_cast<mode_t>(S_ISGID);
    return mode;
}

// The new name survives a power loss only once the folder is synced. A
// folder kept as a bare path (no read permission) cannot be synced.
void ReplacementFile::SyncFolder() {
    if (Sys().Fsync(m_folder) != 0 && errno != EBADF && errno != EINVAL)
        throw FailureAfterReplacement(status::kOutputCantBeWritten,
                                      FailureCause::FromErrno("sync folder"), m_subject);
}
