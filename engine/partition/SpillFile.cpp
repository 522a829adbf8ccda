// Appending to and reading back unnamed scratch files.
#include "partition/SpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/ScratchFile.h"
#include "os/SystemCalls.h"

namespace {
[[noreturn]] void WriteFailed(const std::string& folder) {
    throw JobFailure(
        errno == ENOSPC || errno == EDQUOT ? status::kNoDiskSpace : status::kTempCantBeWritten,
        FailureCause::FromErrno("write"), folder);
}
}  // namespace

SpillFile SpillFile::Create(const std::string& folder) {
    return SpillFile(ScratchFile::Create(folder), folder);
}

void SpillFile::Append(const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = Sys().Write(m_file->Descriptor(), bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            WriteFailed(m_folder);
        }
        bytes += done;
        size -= static_cast<size_t>(done);
        m_size += static_cast<uint64_t>(done);
    }
}

void SpillFile::ReadAt(char* to, size_t size, uint64_t offset) const {
    while (size > 0) {
        const ssize_t got = Sys().Pread(m_file->Descriptor(), to, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
            throw JobFailure(status::kTempCantBeRead, FailureCause::FromErrno("read"), m_folder);
        if (got == 0) CutShort();
        to += got;
        size -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
}

void SpillFile::CutShort() const {
    throw JobFailure(status::kTempCantBeRead, {0, "a temporary file was cut short"}, m_folder);
}

uint64_t SpillFile::FreeSpace() const {
    struct statvfs info {};
    if (Sys().Fstatvfs(m_file->Descriptor(), &info) != 0)
        return UINT64_MAX;  // unknown: let writes tell
    return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}
