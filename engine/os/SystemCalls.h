// The file system calls the engine makes, behind a thin seam so that tests
// can make any of them fail at a chosen moment (a read, a write, a flush, the
// making of the new file, its naming, the rename, the sync after it) and
// check that no list on disk is harmed.
//
// Each call names what the engine does, and every system does it in its own
// terms: a file that is made without a name, given one and moved over a list
// is O_TMPFILE, linkat and renameat on Linux, and on Windows a file marked
// for deletion, unmarked and renamed by its handle. The engine's files above
// the seam are the same on every system; each system's calls are in the
// files named after the class that makes them (TemporaryFileCalls.cpp,
// ListLocationCalls.cpp, ReplacementFileCalls.cpp, FileCalls.cpp for the
// rest), a Windows build taking those under windows/. A call that can fail
// returns 0 or what it made (a descriptor, a count) on success, and -1 with
// errno set on failure.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "lintrim/JobFailure.h"
#include "os/FileStatus.h"

namespace lintrim {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // Bytes in and out (FileCalls.cpp). Every descriptor is opened close-on-exec.
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual int Close(int fd);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
    virtual int Fsync(int fd);
    virtual int Ftruncate(int fd, off_t size);
    // A second descriptor of the same open file.
    virtual int Duplicate(int fd);
    // The run's lock on a file, without waiting: EWOULDBLOCK when another
    // run holds it.
    virtual int Lock(int fd);
    virtual int Unlinkat(int folder, const char* name);
    // Bytes free to this user on the file's file system.
    virtual int FreeSpace(int fd, uint64_t* bytes);

    // Finding and looking at files (ListLocationCalls.cpp).
    virtual int Stat(int fd, FileStatus* status);
    // The name in the folder itself, a link not followed.
    virtual int StatAt(int folder, const char* name, FileStatus* status);
    // What the path leads to, links followed.
    virtual int StatPath(const char* path, FileStatus* status);
    // Opens what the path leads to only to look at it: nothing is read and
    // nothing waits, whatever it is.
    virtual int OpenToLook(const char* path);
    // Where the system reached an open file: its folder's full path (ending
    // in the separator) and its name there; -1 when it has none.
    virtual int PathOf(int fd, std::string* folder, std::string* name);
    // A folder held open for the calls in it, and to be listed and synced.
    virtual int OpenFolder(const char* path);
    // A folder that may only be passed through, held open for the calls in it.
    virtual int OpenFolderToPass(const char* path);
    // The name in the folder opened for reading, a link not followed, without
    // waiting (a FIFO) and never as a terminal; SetBlocking makes its reads
    // wait again.
    virtual int OpenList(int folder, const char* name);
    virtual int SetBlocking(int fd);

    // Temporary files (TemporaryFileCalls.cpp). A new file in the folder
    // (mode 0600, opened with `access`) that vanishes when it is closed:
    // unnamed on Linux (`name` is not used), made as `name` and marked for
    // deletion on Windows. EOPNOTSUPP, EISDIR or EINVAL where the file
    // system cannot make one.
    virtual int MakeTemporary(int folder, const char* name, int access);
    // A new file made as `name` (mode 0600), never over an existing one.
    virtual int MakeNamed(int folder, const char* name, int access);
    // Gives a file made by MakeTemporary a name that lasts, `name` in the
    // folder (on Windows the name it was made as: its mark is taken back).
    virtual int NameTemporary(int fd, int folder, const char* name);
    // Moves the named temporary file `fd`, `name` in the folder, over
    // `target` in the same folder in one step (on Windows by its handle).
    virtual int MoveOver(int fd, int folder, const char* name, const char* target);
    // Removes the named temporary file `fd`, `name` in the folder (on
    // Windows it goes when its last handle is closed).
    virtual int RemoveTemporary(int fd, int folder, const char* name);
    // Opens a temporary file left in the folder, to be locked and removed;
    // fails while a live run holds it open on Windows.
    virtual int OpenLeftover(int folder, const char* name);
    // Calls `each` with the name of every entry in the folder.
    virtual int ListFolder(int folder, const std::function<void(const char* name)>& each);
    // A number no other run picks at the same moment.
    virtual uint64_t Random();

    // Replacing a file (ReplacementFileCalls.cpp). Whether this user may
    // write the name in the folder, whose permissions are `mode`.
    virtual int MayWrite(int folder, const char* name, unsigned mode);
    // The permissions of a new file.
    virtual unsigned NewFileMode();
    virtual int Fchown(int fd, uint32_t owner, uint32_t group);
    // Gives `to` the access rights `from` has that are its own (its access
    // ACL): -1 when it has such rights that could not be copied.
    virtual int CopyAccess(int from, int to);
    // Gives `to` the permissions `mode` and, from `from` where it is open,
    // the attributes a file carries on the system (Windows: hidden, system,
    // archive, and the creation time).
    virtual int SetAttributes(int to, unsigned mode, int from);
    // Starts the disk's writing of a stretch of the file, without waiting.
    virtual int StartWriteBack(int fd, off_t from, off_t length);
    // Makes the rename of `file` in the folder survive a power loss: the
    // folder is synced (Linux), or the moved file flushed (Windows).
    virtual int SyncRename(int folder, int file);
};

// The calls a failure names: each system calls them by its own names.
enum class SystemCall {
    kOpen,
    kStat,
    kWrite,
    kFlush,
    kClose,
    kDuplicate,
    kLock,
    kSetBlocking,
    kMakeTemporary,
    kNameTemporary,
    kMoveOver,
    kSyncRename,
    kMayWrite,
    kCopyAccess,
    kSetAttributes,
};
// The cause of the failure of `call` that has just happened (errno), in the
// system's words: "fsync: Input/output error" on Linux,
// "FlushFileBuffers: Input/output error" on Windows.
FailureCause FailureOf(SystemCall call);

// The calls in use: the real ones unless a test has installed others.
SystemCalls& Sys();

// Installs replacement calls for the lifetime of the object (tests only).
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls& replacement);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

private:
    SystemCalls* m_previous;
};

}  // namespace lintrim
