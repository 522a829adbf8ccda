// What the engine asks of a file, in the same terms on every system: its
// kind, its identity, its size and times, and its permissions. Each system
// fills it from its own calls (SystemCalls::Stat and the like): on Linux
// from stat(2), on Windows from the file's information by handle, where the
// device is the volume's serial number, the inode the file's index on it,
// a reparse point (a symbolic link or a junction) counts as a link and the
// permissions are 0444 for a read-only file and 0666 for any other.
#pragma once

#include <time.h>

#include <cstdint>

namespace lintrim {

struct FileStatus {
    enum class Kind { kRegular, kFolder, kLink, kOther };

    Kind kind = Kind::kOther;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    timespec mtime{};
    timespec ctime{};    // the change time: no one can set it back
    unsigned mode = 0;   // permission bits, set-id and sticky bits included
    uint32_t owner = 0;  // Windows has no POSIX owner and group: 0
    uint32_t group = 0;
};

}  // namespace lintrim
