// The file of a run's removed lines. Each list's removed lines are on disk,
// synced, before that list is replaced, so that a run stopped at any moment
// has lost no line: each is in its list, in this file, or in both.
//
// The file takes the place of whatever had its name when the first list's
// lines are committed, and the lines of each list after it are appended and
// synced in turn. Lines committed for a list that then failed to be replaced
// are taken back out.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "os/FileHandle.h"
#include "write/ListWriter.h"
#include "write/ReplacementFile.h"
#include "write/StreamWriter.h"

class RemovedLinesFile : public ListWriter {
public:
    // Makes the new file now, so that a folder that refuses it stops the run
    // before any list is read; throws JobFailure naming `path`.
    explicit RemovedLinesFile(const std::string& path);

    void Write(const char* bytes, size_t size) override;
    // Puts the lines written since the last list on disk, synced.
    void Commit() override;
    // The list whose lines were committed last is in place.
    void Confirm();
    // It is not: its lines are taken back out, as far as the disk allows.
    void Withdraw() noexcept;

private:
    std::string m_path;
    std::unique_ptr<ReplacementFile> m_replacement;  // until the first commit
    FileHandle m_file;                               // the file in place after it
    std::optional<StreamWriter> m_appender;
    off_t m_confirmed = 0;  // bytes of the lists that are in place
    bool m_pending = false;
};
