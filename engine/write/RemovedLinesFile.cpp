// Committing a run's removed lines list by list.
#include "write/RemovedLinesFile.h"

#include <sys/stat.h>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"

RemovedLinesFile::RemovedLinesFile(const std::string& path)
    : m_path(path), m_replacement(ReplacementFile::Create(path)) {}

void RemovedLinesFile::Write(const char* bytes, size_t size) {
    if (m_replacement)
        m_replacement->Write(bytes, size);
    else
        m_appender->Write(bytes, size);
}

void RemovedLinesFile::Commit() {
    m_pending = true;
    if (m_replacement) {
        m_file = m_replacement->CommitKeepingFile();
        m_replacement.reset();
        m_appender.emplace(m_file.Get(), m_path);
        return;
    }
    m_appender->Commit();
    if (Sys().Fsync(m_file.Get()) != 0)
        throw JobFailure(status::kOutputCantBeWritten, FailureCause::FromErrno("fsync"), m_path);
}

void RemovedLinesFile::Confirm() {
    struct stat info {};
    if (m_pending && Sys().Fstat(m_file.Get(), &info) == 0) m_confirmed = info.st_size;
    m_pending = false;
}

// A failure here leaves the lines in both places, which loses nothing.
void RemovedLinesFile::Withdraw() noexcept {
    if (!m_pending || !m_file.IsOpen()) return;
    m_appender.emplace(m_file.Get(), m_path);  // what was buffered is dropped
    if (Sys().Ftruncate(m_file.Get(), m_confirmed) == 0) Sys().Fsync(m_file.Get());
    ::lseek(m_file.Get(), m_confirmed, SEEK_SET);
    m_pending = false;
}
