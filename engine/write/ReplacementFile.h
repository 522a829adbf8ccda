// The new contents of a list, written beside it and put in its place only
// when complete. Until Commit() succeeds the list on disk is untouched; a
// replacement that is dropped (a failure, a cancelled run, a list that
// changed meanwhile) leaves no file behind.
//
// The new file is made in the list's kept folder (TemporaryFile) and renamed
// over the name the list had when it was opened, and only if that name still
// holds the very file that was read, unchanged: a list swapped for a link,
// renamed, appended to or rewritten during the run is never replaced. A
// symbolic link given as the list was followed by the system when the list
// was opened: its target is replaced and the link stays. Other hard links to
// the list keep the old contents.
//
// What a file carries besides its bytes comes along. On Linux: the list's
// permission bits, owner and group (where allowed; set-id bits only with
// them) and extended attributes (ACLs included). On Windows: its attributes
// (hidden, system, archive...), creation time and an access control list of
// its own; the owner does not (the new file is the user's). A list that may
// not be written (no write bits, even for root; read-only on Windows) is left
// alone.
//
// An output that is not a list being cleaned (a new file, or another file
// named as the output) is made the same way, in its folder, and renamed over
// its name without the check; an existing one is held with a list's lock
// for the run and keeps its attributes as a list does.
//
// The system's calls are in ReplacementFileCalls.cpp (windows/ for Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "os/ByteBuffer.h"
#include "os/FileHandle.h"
#include "os/TemporaryFile.h"
#include "read/ListLocation.h"
#include "write/ListWriter.h"

namespace lintrim {

// A failure after the new file took the list's place: the list holds its
// whole result, and only a step after the rename (the folder's sync) failed.
class FailureAfterReplacement : public JobFailure {
public:
    using JobFailure::JobFailure;
};

class ReplacementFile : public ListWriter {
public:
    // The replacement of an opened list. Throws JobFailure("output list
    // can't be opened") when the list may not be written (no write bits, or
    // its folder refuses the new file), and "not enough memory" before any
    // file is made. Failures name `subject` when it is given.
    explicit ReplacementFile(const ListLocation& list, std::string subject = {});
    // A new or other file at `path`, which failures name; a link is followed
    // by the kernel. Throws JobFailure("input list is in use by another
    // run") when another run holds the file.
    static std::unique_ptr<ReplacementFile> Create(const std::string& path);
    // The replacement of `existing`, an opened file that is not a list being
    // cleaned: it keeps its attributes, without the check of a list.
    static std::unique_ptr<ReplacementFile> Over(ListLocation existing, std::string subject);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Buffered; throws JobFailure("output list can't be written").
    void Write(const char* bytes, size_t size) override;
    // Flushes, syncs, checks that a replaced list is unchanged, renames over
    // it and syncs the folder. Throws "input list changed while it was
    // cleaned" when the list's name no longer holds the file that was read as
    // it was, and "output list can't be written" when a step fails.
    void Commit() override;
    // Commits, and returns the new file, open for writing at its end.
    FileHandle CommitKeepingFile();

    // Size of the write buffer; tests make it too large to be had. 0 restores it.
    static void SetBufferSizeForTesting(size_t bytes);
    // A call made once the new file has its name and just before the list is
    // checked and replaced: a test build stops there to act on the list.
    static void SetCommitPauseForTesting(void (*pause)());

private:
    struct Owned {};
    ReplacementFile(Owned, ListLocation existing, std::string subject);
    ReplacementFile(FileHandle folder, std::string name, std::string subject);
    TemporaryFile MakeTemporary();
    // Gives the new file the owner and group; returns `mode` without the
    // set-id bits whose owner or group could not be kept.
    unsigned KeepOwnership(int fd, uint32_t owner, uint32_t group, unsigned mode) const;
    void Flush();
    void WriteOut(const char* bytes, size_t size);
    // Starts the disk's writing of what the file holds so far, so that the
    // flush before the commit waits only for the last of it.
    void StartWriteBack();
    void CopyAttributes();
    void SyncFolder();

    std::optional<ListLocation> m_own;     // an existing file named as the output
    const ListLocation* m_list = nullptr;  // the file replaced; none for a new file
    bool m_checkUnchanged = false;         // a list being cleaned must be as it was read
    FileHandle m_ownFolder;                // the folder of a new file
    int m_folder;
    std::string m_name;
    unsigned m_mode;
    std::string m_subject;
    size_t m_capacity;
    ByteBuffer m_buffer;  // taken before the file is made
    TemporaryFile m_temporary;
    size_t m_used = 0;
    uint64_t m_written = 0;      // bytes written to the new file
    uint64_t m_writtenBack = 0;  // of those, bytes whose writing to disk has started
    bool m_keepOpen = false;
    FileHandle m_kept;  // the committed file, when it is kept open
};

}  // namespace lintrim
