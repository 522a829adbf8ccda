// Making, naming, renaming and removing temporary files, and recognising
// the leftovers of killed runs by their names.
#include "os/TemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <utility>

#include "os/SystemCalls.h"

namespace {
constexpr char kPrefix[] = ".lintrim-";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr size_t kHexDigits = 16;
constexpr size_t kNameLength = kPrefixLength + kHexDigits + 1 + kHexDigits;
// Two runs never pick the same random part; a few tries cover a leftover.
constexpr int kNameTries = 8;

std::string Hex(uint64_t value) {
    char text[kHexDigits + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// FNV-1a: stable across runs and builds, unlike std::hash.
std::string TagOf(const std::string& listName) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char byte : listName) hash = (hash ^ byte) * 0x100000001b3ull;
    return Hex(hash);
}

uint64_t RandomNumber() {
    uint64_t value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) == sizeof value) return value;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(now.tv_sec) ^
           (static_cast<uint64_t>(::getpid()) << 40);
}

std::string NewName(const std::string& tag) {
    return kPrefix + tag + "-" + Hex(RandomNumber());
}

bool AllOf(const std::string& text, size_t from, const char* allowed) {
    return from < text.size() && text.find_first_not_of(allowed, from) == std::string::npos;
}

// This version's names, and those of versions that named the temporary file
// after the list: "." + list + ".lintrim-" + process id + "-" + count.
bool IsLeftoverOf(const std::string& entry, const std::string& listName, const std::string& tag) {
    const std::string ours = kPrefix + tag + "-";
    if (entry.size() == kNameLength && entry.compare(0, ours.size(), ours) == 0)
        return AllOf(entry, ours.size(), "0123456789abcdef");
    const std::string older = "." + listName + kPrefix;
    if (entry.compare(0, older.size(), older) != 0) return false;
    const size_t dash = entry.find('-', older.size());
    return dash != std::string::npos && dash > older.size() &&
           AllOf(entry.substr(0, dash), older.size(), "0123456789") &&
           AllOf(entry, dash + 1, "0123456789");
}

// Keeps the program's signals away for the few calls between a file getting
// a name and that name being registered for the handlers.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &m_previous);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous;
};
// True while `name` in the folder is the open file `fd`.
bool NameHolds(int folder, const std::string& name, int fd) {
    struct stat named {};
    struct stat open {};
    return Sys().Fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           Sys().Fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// A leftover that cannot be opened or locked may belong to a live run (of
// another user, or one writing it now) and stays.
void RemoveIfAbandoned(int folder, const char* name) {
    FileHandle file(Sys().Openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0));
    if (!file.IsOpen() || Sys().Flock(file.Get(), LOCK_EX | LOCK_NB) != 0) return;
    if (NameHolds(folder, name, file.Get())) Sys().Unlinkat(folder, name, 0);
}
}  // namespace

std::optional<TemporaryFile> TemporaryFile::Create(int folder, const std::string& listName,
                                                   FailureCause& why, int access) {
    const std::string tag = TagOf(listName);
    FileHandle unnamed(Sys().Openat(folder, ".", O_TMPFILE | access, 0600));
    if (unnamed.IsOpen()) {
        TemporaryFile file(folder, tag, std::move(unnamed));
        if (!file.HoldLock(why)) return std::nullopt;
        return file;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return why = FailureCause::FromErrno("open"), std::nullopt;
    why = {EEXIST, {}, "open"};  // every name tried was taken
    for (int i = 0; i < kNameTries; ++i) {
        std::string name = NewName(tag);
        SignalsHeld held;
        FileHandle named(
            Sys().Openat(folder, name.c_str(), access | O_CREAT | O_EXCL | O_NOFOLLOW, 0600));
        if (!named.IsOpen() && errno != EEXIST)
            return why = FailureCause::FromErrno("open"), std::nullopt;
        if (!named.IsOpen()) continue;
        TemporaryFile file(folder, tag, std::move(named));
        file.TakeName(std::move(name));
        // Another run's clean-up may have taken the name in the instant
        // before the lock: then the name is no longer this file.
        const bool locked = file.HoldLock(why);
        if (!NameHolds(folder, file.m_name, file.Descriptor()))
            file.Forget();
        else if (locked)
            return file;
    }
    return std::nullopt;
}

// A leftover is removed only when no live run holds its lock: a run killed
// with its file named lost the lock with the process.
void TemporaryFile::RemoveLeftovers(int folder, const std::string& listName) {
    const int listing = Sys().Openat(folder, ".", O_RDONLY | O_DIRECTORY, 0);
    if (listing < 0) return;  // a folder that cannot be read keeps what it has
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        Sys().Close(listing);
        return;
    }
    const std::string tag = TagOf(listName);
    while (const dirent* entry = ::readdir(entries))
        if (IsLeftoverOf(entry->d_name, listName, tag)) RemoveIfAbandoned(folder, entry->d_name);
    ::closedir(entries);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(other.m_folder),
      m_tag(std::move(other.m_tag)),
      m_file(std::move(other.m_file)),
      m_lock(std::move(other.m_lock)),
      m_name(std::exchange(other.m_name, {})),
      m_registered(std::move(other.m_registered)) {}

TemporaryFile::~TemporaryFile() {
    m_file.Close();
    if (IsNamed()) Sys().Unlinkat(m_folder, m_name.c_str(), 0);
}

// The lock lives on a second descriptor of the same open file, so that it
// lasts from the file's making until its rename, though the file itself is
// closed before the rename to catch a late write error.
bool TemporaryFile::HoldLock(FailureCause& why) {
    m_lock = FileHandle(::fcntl(Descriptor(), F_DUPFD_CLOEXEC, 0));
    if (!m_lock.IsOpen()) return why = FailureCause::FromErrno("fcntl"), false;
    if (Sys().Flock(m_lock.Get(), LOCK_EX | LOCK_NB) != 0)
        return why = FailureCause::FromErrno("flock"), false;
    return true;
}

void TemporaryFile::Forget() {
    m_name.clear();
    m_registered.Clear();
}

void TemporaryFile::TakeName(std::string name) {
    m_name = std::move(name);
    m_registered = RegisteredName(m_folder, m_name);
}

// Linking by descriptor needs a capability that the /proc path does not.
bool TemporaryFile::Link() {
    if (IsNamed()) return true;
    char path[40];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", Descriptor());
    for (int i = 0; i < kNameTries; ++i) {
        std::string name = NewName(m_tag);
        SignalsHeld held;
        int linked = Sys().Linkat(Descriptor(), "", m_folder, name.c_str(), AT_EMPTY_PATH);
        if (linked != 0 && errno != EEXIST)
            linked = Sys().Linkat(AT_FDCWD, path, m_folder, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked == 0) {
            TakeName(std::move(name));
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool TemporaryFile::RenameOver(const std::string& target) {
    if (Sys().Renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0) return false;
    Forget();
    m_lock.Close();
    return true;
}

void TemporaryFile::Unlink() {
    if (!IsNamed()) return;
    Sys().Unlinkat(m_folder, m_name.c_str(), 0);
    Forget();
}
