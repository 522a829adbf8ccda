// A new file in a kept folder, owned from the moment it exists until it is
// renamed into place: the destructor closes it and removes any name it has.
//
// Where the file system allows, the file is made without a name (O_TMPFILE)
// and gets one only just before its rename, so that a run killed at any
// other moment leaves nothing behind. Elsewhere it is made under a name with
// O_EXCL. Names are short and of fixed length, whatever the list's name:
// ".lintrim-" + a 16-digit tag + "-" + 16 random hex digits. The tag is a
// hash of the list's name, which lets the next run on that list recognise
// and remove what a killed run left (RemoveLeftovers). Each file holds an
// advisory lock (flock) from its making until its rename, so that a file of
// a live run is never taken for a leftover. While the file has a name, the
// name is registered for the program's signal handlers.
#pragma once

#include <fcntl.h>

#include <optional>
#include <string>

#include "api/JobFailure.h"
#include "os/FileHandle.h"
#include "os/RegisteredName.h"

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

    // Gives an unnamed file its name in the folder; false, with errno set
    // by link(2), when it cannot.
    bool Link();
    // Closes the file (it must have a name by then); false, with errno set,
    // on a late write error.
    bool Close() { return m_file.Close(); }
    // Renames the file over `target` in the same folder; from then on this
    // object owns nothing on disk. False, with errno set, when it cannot.
    bool RenameOver(const std::string& target);
    // Drops the name now and keeps the open file, which goes when it is closed.
    void Unlink();
    // The open file, which this object no longer owns.
    FileHandle ReleaseFile() { return std::move(m_file); }

private:
    TemporaryFile(int folder, std::string tag, FileHandle file)
        : m_folder(folder), m_tag(std::move(tag)), m_file(std::move(file)) {}
    void TakeName(std::string name);
    // Takes the file's lock; false, with the cause in `why`, when it cannot be had.
    bool HoldLock(FailureCause& why);
    // Drops the record of the name without touching the folder.
    void Forget();

    int m_folder;
    std::string m_tag;
    FileHandle m_file;
    FileHandle m_lock;   // the same open file, holding its lock
    std::string m_name;  // empty while the file has none
    RegisteredName m_registered;
};
