// Unnamed temporary files. Where the file system has no O_TMPFILE, a named
// file is made with O_EXCL and unlinked at once.
#include "SpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
[[noreturn]] void WriteFailed() {
    throw JobFailure(errno == ENOSPC || errno == EDQUOT ? status::kNoDiskSpace
                                                        : status::kTempCantBeWritten);
}

FileHandle NamedAndUnlinked(const std::string& folder) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string path = folder + "/.lintrim-spill-" + std::to_string(entropy());
        FileHandle file(Sys().Open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600));
        if (file.IsOpen()) {
            ::unlink(path.c_str());
            return file;
        }
        if (errno != EEXIST) break;
    }
    return FileHandle();
}
}  // namespace

SpillFile SpillFile::Create(const std::string& folder) {
    FileHandle file(Sys().Open(folder.c_str(), O_TMPFILE | O_RDWR, 0600));
    if (!file.IsOpen() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        file = NamedAndUnlinked(folder);
    if (!file.IsOpen()) WriteFailed();
    return SpillFile(std::move(file));
}

void SpillFile::Append(const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = Sys().Write(m_file.Get(), bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            WriteFailed();
        }
        bytes += done;
        size -= static_cast<size_t>(done);
        m_size += static_cast<uint64_t>(done);
    }
}

void SpillFile::ReadAt(char* to, size_t size, uint64_t offset) const {
    while (size > 0) {
        const ssize_t got = Sys().Pread(m_file.Get(), to, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw JobFailure(status::kTempCantBeRead);
        to += got;
        size -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
}

uint64_t SpillFile::FreeSpace() const {
    struct statvfs info {};
    if (Sys().Fstatvfs(m_file.Get(), &info) != 0) return UINT64_MAX;  // unknown: let writes tell
    return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}
