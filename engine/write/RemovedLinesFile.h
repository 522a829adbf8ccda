// The file of a run's removed lines. Each list's removed lines are on disk,
// synced, before that list is replaced, so that a run stopped at any moment
// has lost no line: each is in its list, in this file, or in both.
//
// The file takes the place of whatever had its name when the first list's
// lines are committed, and the lines of each list after it are appended and
// synced in turn. Lines committed for a list that then failed to be replaced
// are taken back out.
//
// Compressed, each list's lines are a stream of their own (streams one
// after another make one valid file), so that taking a list's lines back
// out is cutting the file where its stream began.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "os/FileHandle.h"
#include "read/ListFormat.h"
#include "write/Encoder.h"
#include "write/ListWriter.h"
#include "write/ReplacementFile.h"
#include "write/StreamWriter.h"

class RemovedLinesFile : public ListWriter {
public:
    // Makes the new file now, so that a folder that refuses it stops the run
    // before any list is read; throws JobFailure naming `path`.
    RemovedLinesFile(const std::string& path, ListFormat format);

    void Write(const char* bytes, size_t size) override;
    // Puts the lines written since the last list on disk, synced.
    void Commit() override;
    // The list whose lines were committed last is in place.
    void Confirm();
    // It is not: its lines are taken back out, as far as the disk allows.
    void Withdraw() noexcept;

private:
    ListWriter& File();
    Encoder* Compressor();

    std::string m_path;
    ListFormat m_format;
    std::unique_ptr<Encoder> m_encoder;              // none for plain text
    std::unique_ptr<ReplacementFile> m_replacement;  // until the first commit
    FileHandle m_file;                               // the file in place after it
    std::optional<StreamWriter> m_appender;
    off_t m_confirmed = 0;  // bytes of the lists that are in place
    bool m_pending = false;
};
