// Writing a list's replacement and committing it by rename.
#include "ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
// Large enough that writes cost little, small enough not to count in the peak.
constexpr size_t kWriteBufferSize = size_t{256} << 10;

[[noreturn]] void CantOpen() {
    throw JobFailure(status::kOutputCantBeOpened);
}
[[noreturn]] void CantWrite() {
    throw JobFailure(status::kOutputCantBeWritten);
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) CantOpen();
    return resolved;
}

// Root may write anything, but a list whose write bits are all off was made
// read-only on purpose and is left alone.
bool MayWrite(const std::string& path, const struct stat& info) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    return ::geteuid() != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.rfind('/');
    const std::string folder = target.substr(0, slash + 1);
    const std::string name = target.substr(slash + 1);
    return folder + "." + name + ".lintrim-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}
}  // namespace

ReplacementFile::ReplacementFile(const std::string& listPath) : m_target(RealPath(listPath)) {
    struct stat info {};
    if (::stat(m_target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) CantOpen();
    if (!MayWrite(m_target, info)) CantOpen();
    m_mode = info.st_mode & 07777;
    m_owner = info.st_uid;
    m_group = info.st_gid;
    m_temporary = TemporaryNameFor(m_target);
    m_file = FileHandle(Sys().Open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
    if (!m_file.IsOpen()) CantOpen();
    m_buffer = std::make_unique_for_overwrite<char[]>(kWriteBufferSize);
}

ReplacementFile::~ReplacementFile() {
    if (!m_committed) Discard();
}

void ReplacementFile::Discard() {
    m_file.Close();
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
}

void ReplacementFile::Write(const char* bytes, size_t size) {
    if (size > kWriteBufferSize - m_used) {
        Flush();
        if (size >= kWriteBufferSize) {
            m_used = 0;
            while (size > 0) {  // a very long line goes straight to the file
                const ssize_t done = Sys().Write(m_file.Get(), bytes, size);
                if (done < 0 && errno == EINTR) continue;
                if (done <= 0) CantWrite();
                bytes += done;
                size -= static_cast<size_t>(done);
            }
            return;
        }
    }
    std::memcpy(m_buffer.get() + m_used, bytes, size);
    m_used += size;
}

void ReplacementFile::Flush() {
    const char* next = m_buffer.get();
    while (m_used > 0) {
        const ssize_t done = Sys().Write(m_file.Get(), next, m_used);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) CantWrite();
        next += done;
        m_used -= static_cast<size_t>(done);
    }
}

void ReplacementFile::Commit() {
    Flush();
    // Owner first: changing the owner may clear set-id bits that fchmod restores.
    if (::fchown(m_file.Get(), m_owner, m_group) != 0) {
        // Only root may give a file away; others keep their own ownership.
    }
    if (::fchmod(m_file.Get(), m_mode) != 0) CantWrite();
    if (Sys().Fsync(m_file.Get()) != 0) CantWrite();
    if (!m_file.Close()) CantWrite();
    if (Sys().Rename(m_temporary.c_str(), m_target.c_str()) != 0) CantWrite();
    m_committed = true;
}
