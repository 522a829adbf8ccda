// Committing a run's removed lines list by list.
#include "write/RemovedLinesFile.h"

#include "write/OutputFormat.h"

namespace lintrim {

RemovedLinesFile::RemovedLinesFile(const std::string& path, ListFormat format)
    : m_path(path),
      m_format(format),
      m_encoder(EncoderOf(format)),
      m_replacement(ReplacementFile::Create(path)) {}

ListWriter& RemovedLinesFile::File() {
    if (m_replacement) return *m_replacement;
    return *m_appended;
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
    if (!m_replacement) return m_appended->Commit();
    FileHandle file = m_replacement->CommitKeepingFile();
    m_replacement.reset();
    m_appended.emplace(std::move(file), m_path);
}

void RemovedLinesFile::Confirm() {
    if (m_appended) m_confirmed = m_appended->CommittedEnd();
}

// A failure here leaves the lines in both places, which loses nothing. A
// stream left unfinished by the failure is dropped with what was buffered.
void RemovedLinesFile::Withdraw() noexcept {
    m_encoder.reset();
    if (m_appended) m_appended->CutBack(m_confirmed);
}

}  // namespace lintrim
