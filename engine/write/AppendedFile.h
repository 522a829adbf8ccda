// A file that a run appends to in steps, such as the file of removed lines
// after its first list: what is written goes after the last step, and a
// step counts once Commit() has put it on disk, synced. A step that does not
// count is cut away again: by CutBack() on a failure, and by the stop
// handler (RegisteredLength) when a signal or Ctrl-C ends the program, so
// that a stopped run leaves the committed steps whole and nothing after them.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "os/ByteBuffer.h"
#include "os/FileHandle.h"
#include "os/RegisteredLength.h"
#include "write/ListWriter.h"

namespace lintrim {

class AppendedFile : public ListWriter {
public:
    // `file` is open for writing at its end, and whole: its bytes count.
    // Failures name `subject`; throws JobFailure("output list can't be
    // written") when the file's size cannot be had.
    AppendedFile(FileHandle file, std::string subject);
    AppendedFile(const AppendedFile&) = delete;
    AppendedFile& operator=(const AppendedFile&) = delete;

    // Buffered; throws JobFailure("output list can't be written").
    void Write(const char* bytes, size_t size) override;
    // Writes out and syncs what this step holds: it counts from then on.
    void Commit() override;
    // The size of the file up to the end of the last step that counts.
    off_t CommittedEnd() const { return m_committed; }
    // Drops what is buffered and cuts the file back to `end`, no further
    // than the committed end, as far as the disk allows: a failure leaves
    // the bytes after `end` in place.
    void CutBack(off_t end) noexcept;

    // A call made once the bytes of a step reach the file before the step
    // is committed: a test build stops there to stop the program mid-step.
    static void SetAppendPauseForTesting(void (*pause)());

private:
    void Flush();

    FileHandle m_file;
    std::string m_subject;
    ByteBuffer m_buffer;
    off_t m_committed = 0;       // the end of the last step that counts
    off_t m_written = 0;         // the end of what is in the file
    RegisteredLength m_stopEnd;  // declared after m_file: released before it closes
};

}  // namespace lintrim
