// Cutting the output at every change of length, a span of lines of one
// length written at once.
#include "write/LengthSplitFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"

namespace lintrim {

LengthSplitFiles::LengthSplitFiles(std::string folder, std::string lineEnd, LineLength length)
    : m_folder(std::move(folder)), m_end(std::move(lineEnd)), m_length(length) {}

void LengthSplitFiles::Write(const char* bytes, size_t size) {
    const char* end = bytes + size;
    if (!m_partial.empty()) {
        const auto* feed = static_cast<const char*>(std::memchr(bytes, '\n', size));
        if (!feed) return m_partial.append(bytes, size), void();
        m_partial.append(bytes, static_cast<size_t>(feed + 1 - bytes));
        const std::string line = std::move(m_partial);
        m_partial.clear();
        TakeLines(line.data(), line.data() + line.size());
        bytes = feed + 1;
    }
    const char* last = bytes;
    for (const char* at = end; at > bytes; --at)
        if (at[-1] == '\n') {
            last = at;
            break;
        }
    TakeLines(bytes, last);
    m_partial.assign(last, static_cast<size_t>(end - last));
}

void LengthSplitFiles::TakeLines(const char* from, const char* to) {
    const char* span = from;
    uint64_t spanLength = 0;
    for (const char* at = from; at < to;) {
        const auto* feed = static_cast<const char*>(std::memchr(at, '\n', to - at));
        const char* next = feed + 1;
        const uint64_t length = m_length.Of(at, static_cast<size_t>(next - at) - m_end.size());
        if (at == span) {
            spanLength = length;
        } else if (length != spanLength) {
            FileFor(spanLength).Write(span, static_cast<size_t>(at - span));
            span = at;
            spanLength = length;
        }
        at = next;
    }
    if (span < to) FileFor(spanLength).Write(span, static_cast<size_t>(to - span));
}

ReplacementFile& LengthSplitFiles::FileFor(uint64_t length) {
    if (!m_files.empty() && length == m_current) return *m_files.back();
    if (!m_files.empty() && length < m_current)
        throw JobFailure(status::kOutputCantBeWritten, {0, "lines out of length order"}, m_folder);
    if (!m_files.empty()) m_files.back()->Hold();
    m_files.push_back(ReplacementFile::Create(m_folder + "/" + std::to_string(length) + ".txt"));
    m_current = length;
    return *m_files.back();
}

// Every line came with its end: nothing is left partial. A split makes
// hundreds of files: one sync of the file system and one of the folder
// cost a fraction of a sync of each file and of the folder after each.
void LengthSplitFiles::Commit() {
    if (m_files.empty()) return;
    const bool synced = SyncAll();
    for (const std::unique_ptr<ReplacementFile>& file : m_files) {
        if (synced) file->SyncedByCaller();
        file->Commit();
    }
    if (synced) SyncFolder();
}

// Whether every file's bytes are on disk; false where the system syncs no
// file system at once (each file is synced as it is committed then).
bool LengthSplitFiles::SyncAll() {
#ifdef _WIN32
    return false;
#else
    m_files.back()->Hold();
    m_folderHandle = FileHandle(Sys().OpenFolder(m_folder.c_str()));
    if (!m_folderHandle.IsOpen())
        throw JobFailure(status::kOutputCantBeWritten, FailureCause::FromErrno("open"), m_folder);
    if (::syncfs(m_folderHandle.Get()) != 0)
        throw JobFailure(status::kOutputCantBeWritten, FailureCause::FromErrno("syncfs"), m_folder);
    return true;
#endif
}

void LengthSplitFiles::SyncFolder() {
    if (Sys().Fsync(m_folderHandle.Get()) != 0 && errno != EINVAL)
        throw FailureAfterReplacement(status::kOutputCantBeWritten,
                                      FailureCause::FromErrno("fsync"), m_folder);
}

}  // namespace lintrim
