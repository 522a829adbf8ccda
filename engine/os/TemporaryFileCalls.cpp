// Temporary files on Linux: made without a name (O_TMPFILE), linked into
// the folder just before their rename, renamed by name in the kept folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "os/SystemCalls.h"

namespace lintrim {

int SystemCalls::MakeTemporary(int folder, const char*, int access) {
    return ::openat(folder, ".", O_TMPFILE | access | O_CLOEXEC, 0600);
}
int SystemCalls::MakeNamed(int folder, const char* name, int access) {
    return ::openat(folder, name, access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

// Linking by descriptor needs a capability that the /proc path does not.
int SystemCalls::NameTemporary(int fd, int folder, const char* name) {
    const int linked = ::linkat(fd, "", folder, name, AT_EMPTY_PATH);
    if (linked == 0 || errno == EEXIST) return linked;
    char path[40];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, path, folder, name, AT_SYMLINK_FOLLOW);
}
int SystemCalls::MoveOver(int, int folder, const char* name, const char* target) {
    return ::renameat(folder, name, folder, target);
}
int SystemCalls::RemoveTemporary(int, int folder, const char* name) {
    return ::unlinkat(folder, name, 0);
}
int SystemCalls::OpenLeftover(int folder, const char* name) {
    return ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

int SystemCalls::ListFolder(int folder, const std::function<void(const char*)>& each) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return -1;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return -1;
    }
    while (const dirent* entry = ::readdir(entries)) each(entry->d_name);
    return ::closedir(entries);
}

uint64_t SystemCalls::Random() {
    uint64_t value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) == sizeof value) return value;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(now.tv_sec) ^
           (static_cast<uint64_t>(::getpid()) << 40);
}

}  // namespace lintrim
