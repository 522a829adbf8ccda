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
// out is cutting the file where its stream began. A run stopped by a
// signal or Ctrl-C while a list's lines are appended cuts them back the
// same way (AppendedFile): the file holds whole streams, or whole lines,
// only. Killed outright, it may end in part of a stream or of a line, whose
// lines are all still in their list.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "read/ListFormat.h"
#include "write/AppendedFile.h"
#include "write/Encoder.h"
#include "write/ListWriter.h"
#include "write/ReplacementFile.h"

namespace lintrim {

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
    std::optional<AppendedFile> m_appended;          // the file in place after it
    off_t m_confirmed = 0;                           // bytes of the lists that are in place
};

}  // namespace lintrim
