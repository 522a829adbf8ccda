// Writing a list's replacement and committing it by rename.
#include "ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
// Large enough that writes cost little, small enough not to count in the peak.
constexpr size_t kWriteBufferSize = size_t{256} << 10;
size_t g_bufferSize = kWriteBufferSize;
void (*g_commitPause)() = nullptr;

// An access ACL that could not be copied would leave the owning group with
// the mask's rights, which can be more than the list gave it.
constexpr char kAccessAcl[] = "system.posix_acl_access";

[[noreturn]] void CantOpen() {
    throw JobFailure(status::kOutputCantBeOpened);
}
[[noreturn]] void CantWrite() {
    throw JobFailure(status::kOutputCantBeWritten);
}

// Root may write anything, but a list whose write bits are all off was made
// read-only on purpose and is left alone.
const ListLocation& Writable(const ListLocation& list) {
    if (Sys().Faccessat(list.Folder(), list.Name().c_str(), W_OK, AT_EACCESS) != 0) CantOpen();
    if (::geteuid() == 0 && (list.Mode() & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) CantOpen();
    return list;
}

// Throws std::bad_alloc ("not enough memory") when the buffer cannot be had.
ByteBuffer TakeBuffer(size_t bytes) {
    ByteBuffer buffer;
    buffer.Reserve(bytes);
    return buffer;
}

// The list's lock keeps other runs on it away, so what carries its tag is
// what a killed run left.
TemporaryFile MakeTemporary(const ListLocation& list) {
    TemporaryFile::RemoveLeftovers(list.Folder(), list.Name());
    std::optional<TemporaryFile> file = TemporaryFile::Create(list.Folder(), list.Name());
    if (!file) CantOpen();
    return std::move(*file);
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
void CopyExtendedAttributes(int from, int to) {
    const ssize_t size = Sys().Flistxattr(from, nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t got = Sys().Flistxattr(from, names.data(), names.size());
    std::vector<char> value;
    for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[static_cast<size_t>(at)];
        if (!CopyAttribute(from, to, name, value) && std::strcmp(name, kAccessAcl) == 0)
            CantWrite();
    }
}
}  // namespace

void ReplacementFile::SetBufferSizeForTesting(size_t bytes) {
    g_bufferSize = bytes ? bytes : kWriteBufferSize;
}

void ReplacementFile::SetCommitPauseForTesting(void (*pause)()) {
    g_commitPause = pause;
}

ReplacementFile::ReplacementFile(const ListLocation& list)
    : m_list(Writable(list)),
      m_capacity(g_bufferSize),
      m_buffer(TakeBuffer(m_capacity)),
      m_temporary(MakeTemporary(list)) {}

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
        if (done <= 0) CantWrite();
        bytes += done;
        size -= static_cast<size_t>(done);
    }
}

// The new file gets its name only now, so a run killed before this point
// leaves nothing; the check of the list comes as late as it can.
void ReplacementFile::Commit() {
    Flush();
    CopyAttributes();
    if (Sys().Fsync(m_temporary.Descriptor()) != 0) CantWrite();
    if (!m_temporary.Link() || !m_temporary.Close()) CantWrite();
    if (g_commitPause) g_commitPause();
    if (!m_list.Unchanged()) throw JobFailure(status::kInputChanged);
    if (!m_temporary.RenameOver(m_list.Name())) CantWrite();
    SyncFolder();
}

// Owner first: changing the owner clears set-id bits and file capabilities,
// which the attributes and fchmod then restore.
void ReplacementFile::CopyAttributes() {
    const int fd = m_temporary.Descriptor();
    if (Sys().Fchown(fd, m_list.Owner(), m_list.Group()) != 0) {
        // Only root may give a file away; others keep their own ownership.
    }
    CopyExtendedAttributes(m_list.Descriptor(), fd);
    if (Sys().Fchmod(fd, m_list.Mode()) != 0) CantWrite();
}

// The new name survives a power loss only once the folder is synced. A
// folder kept as a bare path (no read permission) cannot be synced.
void ReplacementFile::SyncFolder() {
    if (Sys().Fsync(m_list.Folder()) != 0 && errno != EBADF && errno != EINVAL) CantWrite();
}
