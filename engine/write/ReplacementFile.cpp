// Writing a list's replacement and committing it by rename.
#include "write/ReplacementFile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"
#include "os/SystemFacts.h"

namespace lintrim {

namespace {
// Large enough that writes cost little, small enough not to count in the peak.
constexpr size_t kWriteBufferSize = size_t{256} << 10;
size_t g_bufferSize = kWriteBufferSize;
// The disk is asked to start writing the new file each time this much more
// of it has been written.
constexpr uint64_t kWriteBackStep = uint64_t{8} << 20;
void (*g_commitPause)() = nullptr;

constexpr unsigned kSetUserId = 04000;
constexpr unsigned kSetGroupId = 02000;

[[noreturn]] void Fail(const char* text, const std::string& subject, FailureCause cause) {
    throw JobFailure(text, std::move(cause), subject);
}
[[noreturn]] void CantOpen(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeOpened, subject, std::move(cause));
}
[[noreturn]] void CantWrite(const std::string& subject, FailureCause cause) {
    Fail(status::kOutputCantBeWritten, subject, std::move(cause));
}
// The call just failed.
[[noreturn]] void CantWrite(const std::string& subject, SystemCall call) {
    CantWrite(subject, FailureOf(call));
}

// Throws std::bad_alloc ("not enough memory") when the buffer cannot be had.
ByteBuffer TakeBuffer(size_t bytes) {
    ByteBuffer buffer;
    buffer.Reserve(bytes);
    return buffer;
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
      m_mode(Sys().NewFileMode()),
      m_subject(std::move(subject)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary()) {}

std::unique_ptr<ReplacementFile> ReplacementFile::Over(ListLocation existing, std::string subject) {
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(Owned{}, std::move(existing), std::move(subject)));
}

// An existing file is found as a list is (the system follows links under
// its own rules) and held with a list's lock, so that a run cleaning it in
// place and this one cannot both replace it. A new one is made in the folder
// the system finds for it; a name that is a link to nothing, or holds
// anything else, is refused rather than replaced.
std::unique_ptr<ReplacementFile> ReplacementFile::Create(const std::string& path) {
    FailureCause why;
    std::optional<ListLocation> existing =
        ListLocation::Open(path, ListLocation::Lock::kExclusive, &why);
    if (existing) return Over(std::move(*existing), path);
    if (why.error != ENOENT) CantOpen(path, std::move(why));
    std::string name = system_facts::NameOf(path);
    if (name.empty() || name == "." || name == "..") CantOpen(path, {EISDIR, {}});
    FileHandle folder(Sys().OpenFolder(system_facts::FolderOf(path).c_str()));
    if (!folder.IsOpen()) CantOpen(path, FailureCause::FromOpen());
    FileStatus status;
    if (Sys().StatAt(folder.Get(), name.c_str(), &status) == 0)
        CantOpen(path, {0, status.kind == FileStatus::Kind::kLink ? "a link to nothing"
                                                                  : "not a regular file"});
    return std::unique_ptr<ReplacementFile>(
        new ReplacementFile(std::move(folder), std::move(name), path));
}

// What carries the name's tag is what a killed run left: the list's lock
// keeps other runs on it away. Root may write anything, but a list whose
// write bits are all off was made read-only on purpose and is left alone.
TemporaryFile ReplacementFile::MakeTemporary() {
    if (m_list && Sys().MayWrite(m_folder, m_name.c_str(), m_mode) != 0)
        CantOpen(m_subject, FailureOf(SystemCall::kMayWrite));
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
        if (done == 0) errno = ENOSPC;
        if (done <= 0) CantWrite(m_subject, SystemCall::kWrite);
        bytes += done;
        size -= static_cast<size_t>(done);
        m_written += static_cast<uint64_t>(done);
    }
    if (m_written - m_writtenBack >= kWriteBackStep) StartWriteBack();
}

// Only a request: the flush at the commit still says whether it all
// reached the disk.
void ReplacementFile::StartWriteBack() {
    Sys().StartWriteBack(m_temporary.Descriptor(), static_cast<off_t>(m_writtenBack),
                         static_cast<off_t>(m_written - m_writtenBack));
    m_writtenBack = m_written;
}

// The new file gets a name that lasts only now, so a run killed before this
// point leaves nothing; the check of a replaced list comes as late as it can.
void ReplacementFile::Commit() {
    Flush();
    CopyAttributes();
    if (Sys().Fsync(m_temporary.Descriptor()) != 0) CantWrite(m_subject, SystemCall::kFlush);
    if (m_keepOpen) m_kept = FileHandle(Sys().Duplicate(m_temporary.Descriptor()));
    if (m_keepOpen && !m_kept.IsOpen()) CantWrite(m_subject, SystemCall::kDuplicate);
    if (!m_temporary.Link()) CantWrite(m_subject, SystemCall::kNameTemporary);
    if (!m_temporary.Close()) CantWrite(m_subject, SystemCall::kClose);
    if (g_commitPause) g_commitPause();
    if (m_checkUnchanged && !m_list->Unchanged())
        throw JobFailure(status::kInputChanged, {}, m_subject);
    if (!m_temporary.RenameOver(m_name)) CantWrite(m_subject, SystemCall::kMoveOver);
    SyncFolder();
}

FileHandle ReplacementFile::CommitKeepingFile() {
    m_keepOpen = true;
    Commit();
    return std::move(m_kept);
}

// Owner first: changing the owner clears set-id bits and file capabilities,
// which the access rights and the mode then restore. Access rights of the
// list's own that could not be copied stop the run: the new file would grant
// what its folder or its mode grants, which can be more than the list did.
void ReplacementFile::CopyAttributes() {
    const int fd = m_temporary.Descriptor();
    unsigned mode = m_mode;
    if (m_list) {
        mode = KeepOwnership(fd, m_list->Owner(), m_list->Group(), mode);
        if (Sys().CopyAccess(m_list->Descriptor(), fd) != 0)
            CantWrite(m_subject, SystemCall::kCopyAccess);
    }
    if (Sys().SetAttributes(fd, mode, m_list ? m_list->Descriptor() : -1) != 0)
        CantWrite(m_subject, SystemCall::kSetAttributes);
}

// Only root may give a file away, and others may give it only their own
// groups: a set-id bit is kept only where the owner or group it was given
// for could be kept too. Windows has no such owners: both calls fail, and
// the new file's owner and group read as the list's.
unsigned ReplacementFile::KeepOwnership(int fd, uint32_t owner, uint32_t group,
                                        unsigned mode) const {
    if (Sys().Fchown(fd, owner, group) != 0) Sys().Fchown(fd, static_cast<uint32_t>(-1), group);
    FileStatus made;
    if (Sys().Stat(fd, &made) != 0) CantWrite(m_subject, SystemCall::kStat);
    if (made.owner != owner) mode &= ~kSetUserId;
    if (made.group != group) mode &= ~kSetGroupId;
    return mode;
}

// The new name survives a power loss only once the rename is synced. A
// folder kept as a bare path (no read permission) cannot be synced.
void ReplacementFile::SyncFolder() {
    if (!m_temporary.SyncRename() && errno != EBADF && errno != EINVAL)
        throw FailureAfterReplacement(status::kOutputCantBeWritten,
                                      FailureOf(SystemCall::kSyncRename), m_subject);
}

}  // namespace lintrim
