// Committing a run's removed lines list by list.
#include "write/RemovedLinesFile.h"

#include <sys/stat.h>

#include "api/JobFailure.h"
#include "api/StatusTexts.h"
#include "os/SystemCalls.h"
#include "write/OutputFormat.h"

RemovedLinesFile::RemovedLinesFile(const std::string& path, ListFormat format)
    : m_path(path),
      m_format(format),
      m_encoder(EncoderOf(format)),
      m_replacement(ReplacementFile::Create(path)) {}

ListWriter& RemovedLinesFile::File() {
    if (m_replacement) return *m_replacement;
    return *m_appender;
}

// Made again after a withdrawal, which may not throw.
Encoder* RemovedLinesFile::Compressor() {
    if (!m_encoder) m_encoder = EncoderOf(m_format);
    return m_encoder.get();
}

void RemovedLinesFile::Write(const char* bytes, size_t size) {
    if (Encoder* encoder = Compressor())
        encoder->Write(bytes, size, File());
    else
        File().Write(bytes, size);
}

void RemovedLinesFile::Commit() {
    if (Encoder* encoder = Compressor()) encoder->Finish(File());
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

// A failure here leaves the lines in both places, which loses nothing. A
// stream left unfinished by the failure is dropped with what was buffered.
void RemovedLinesFile::Withdraw() noexcept {
    m_encoder.reset();
    if (!m_pending || !m_file.IsOpen()) return;
    m_appender.emplace(m_file.Get(), m_path);  // what was buffered is dropped
    if (Sys().Ftruncate(m_file.Get(), m_confirmed) == 0) Sys().Fsync(m_file.Get());
    ::lseek(m_file.Get(), m_confirmed, SEEK_SET);
    m_pending = false;
}
