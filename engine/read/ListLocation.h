// Where a list lives, fixed when it is opened: the system resolves the path
// once (following links under its own rules), its folder is kept open, and
// the list's final name in that folder and the identity of the file that was
// opened are kept. Writing
// back goes through the kept folder only, and checks the name against the
// identity just before the new file takes its place, so that a path that is
// swapped during a run (a folder or the list replaced by a link, the list
// renamed or rewritten) can never redirect the result to another file.
//
// An input list also holds the run's advisory lock (SystemCalls::Lock) on
// the list until it is destroyed: a second run on the same list fails at once
// instead of throwing one of the two results away.
//
// On Windows the folder is held open without FILE_SHARE_DELETE, so that it
// cannot be renamed or removed during the run, and its path keeps leading to
// it; the lock is a byte far past the list's end, which keeps a second run
// away without keeping anyone from reading the list.
#pragma once

#include <time.h>

#include <cstdint>
#include <optional>
#include <string>

#include "lintrim/JobFailure.h"
#include "os/FileHandle.h"
#include "os/FileStatus.h"

namespace lintrim {

// What must not change between reading a list and replacing it. The change
// time is kept besides the modification time because no one can set it back.
// On Windows the device is the volume's serial number and the inode the
// file's index on it.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    timespec mtime{};
    timespec ctime{};

    static FileIdentity Of(const FileStatus& status);
    // The file at `path`, links followed; nothing when there is none.
    static std::optional<FileIdentity> OfPath(const std::string& path);
    bool operator==(const FileIdentity& other) const;
    // The same file, whatever became of its contents.
    bool SameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
};

class ListLocation {
public:
    enum class Lock { kExclusive, kNone };

    // The regular file at path, opened for reading without ever blocking
    // (a FIFO or a device is refused before anything is read); nothing when
    // it cannot be opened or is no regular file, with the cause in `why`.
    // Throws JobFailure("input list is in use by another run") when the lock
    // is asked for and another run holds it.
    static std::optional<ListLocation> Open(const std::string& path, Lock lock,
                                            FailureCause* why = nullptr);

    ListLocation(ListLocation&&) noexcept = default;
    ListLocation& operator=(ListLocation&&) noexcept = default;

    // The folder, open for the *at calls (and for reading when permitted).
    int Folder() const { return m_folder.Get(); }
    // The list's name inside the folder.
    const std::string& Name() const { return m_name; }
    // The open list, read-only; the lock is held on it.
    int Descriptor() const { return m_file.Get(); }
    const FileIdentity& Identity() const { return m_identity; }
    unsigned Mode() const { return m_mode; }
    uint32_t Owner() const { return m_owner; }
    uint32_t Group() const { return m_group; }

    // True while the name in the folder is still the file that was opened,
    // not a link, with the same size and times.
    bool Unchanged() const;
    // Takes the run's lock on a list opened without it; throws JobFailure
    // naming `subject` when another run holds it.
    void TakeLock(const std::string& subject) const;

private:
    ListLocation() = default;
    static std::optional<ListLocation> Resolve(const std::string& path, FailureCause& why);
    bool OpenFolder(const std::string& folder);
    bool OpenFile(FailureCause& why);

    FileHandle m_folder;
    std::string m_name;
    FileHandle m_file;
    FileIdentity m_identity;
    unsigned m_mode = 0;
    uint32_t m_owner = 0;
    uint32_t m_group = 0;
};

}  // namespace lintrim
