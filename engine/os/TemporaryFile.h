// A new file in a kept folder, owned from the moment it exists until it is
// renamed into place: the destructor closes it and removes any name it has.
//
// Where the system allows, the file vanishes by itself until it is named
// just before its rename, so that a run ended at any other moment, even
// killed, leaves nothing behind: on Linux it is made without a name
// (O_TMPFILE), on Windows under its name and marked for deletion until then.
// Elsewhere it is made under a name with O_EXCL. Names are short and of
// fixed length, whatever the list's name: ".lintrim-" + a 16-digit tag +
// "-" + 16 random hex digits. The tag is a hash of the list's name, which
// lets the next run on that list recognise and remove what a killed run left
// (RemoveLeftovers). Each file holds the run's lock from its making until
// it is closed after its rename, so that a file of a live run is never taken
// for a leftover. While the file has a name, the name is registered for the
// program's stop handler.
//
// The system's calls are in TemporaryFileCalls.cpp (windows/ for Windows).
#pragma once

#include <fcntl.h>

#include <optional>
#include <string>

#include "lintrim/JobFailure.h"
#include "os/FileHandle.h"
#include "os/RegisteredName.h"

namespace lintrim {

class TemporaryFile {
public:
    // A new file (mode 0600, opened with `access`) in `folder`, which must
    // stay open while this object lives, tagged for the list `listName`;
    // nothing when the folder refuses it, with the cause in `why`.
    static std::optional<TemporaryFile> Create(int folder, const std::string& listName,
                                               FailureCause& why, int access = O_WRONLY);

    // Removes the temporary files of earlier runs on `listName` from the folder.
    static void RemoveLeftovers(int folder, const std::string& listName);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) noexcept = delete;
    ~TemporaryFile();

    int Descriptor() const { return m_file.Get(); }
    bool IsNamed() const { return !m_name.empty(); }

    // Gives the file a name in the folder that lasts; false, with errno set,
    // when it cannot.
    bool Link();
    // Closes the file (it must have a name by then); false, with errno set,
    // on a late write error.
    bool Close() { return m_file.Close(); }
    // Renames the file over `target` in the same folder; from then on this
    // object owns nothing on disk. False, with errno set, when it cannot.
    bool RenameOver(const std::string& target);
    // Makes the rename survive a power loss, and lets go of the moved file;
    // false, with errno set, when it cannot.
    bool SyncRename();
    // Drops the name now and keeps the open file, which goes when it is closed.
    void Unlink();
    // The open file, which this object no longer owns.
    FileHandle ReleaseFile() { return std::move(m_file); }

private:
    TemporaryFile(int folder, std::string tag, std::string madeAs, FileHandle file)
        : m_folder(folder),
          m_tag(std::move(tag)),
          m_madeAs(std::move(madeAs)),
          m_file(std::move(file)) {}
    // Where the system has no self-removing files: a file named from the start.
    static std::optional<TemporaryFile> CreateNamed(int folder, const std::string& tag,
                                                    FailureCause& why, int access);
    void TakeName(std::string name);
    // Takes the file's lock; false, with the cause in `why`, when it cannot be had.
    bool HoldLock(FailureCause& why);
    // Drops the record of the name without touching the folder.
    void Forget();

    int m_folder;
    std::string m_tag;
    std::string m_madeAs;  // the name it is made as, or is to be linked as
    FileHandle m_file;
    FileHandle m_lock;   // the same open file, holding its lock
    std::string m_name;  // empty while the file has none
    RegisteredName m_registered;
};

}  // namespace lintrim
