// Making, naming, renaming and removing temporary files, and recognising
// the leftovers of killed runs by their names.
#include "TemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <utility>

#include "SystemCalls.h"

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
}  // namespace

std::optional<TemporaryFile> TemporaryFile::Create(int folder, const std::string& listName,
                                                   int access) {
    const std::string tag = TagOf(listName);
    FileHandle unnamed(Sys().Openat(folder, ".", O_TMPFILE | access, 0600));
    if (unnamed.IsOpen()) return TemporaryFile(folder, tag, std::move(unnamed));
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return std::nullopt;
    for (int i = 0; i < kNameTries; ++i) {
        std::string name = NewName(tag);
        SignalsHeld held;
        FileHandle named(
            Sys().Openat(folder, name.c_str(), access | O_CREAT | O_EXCL | O_NOFOLLOW, 0600));
        if (named.IsOpen()) {
            TemporaryFile file(folder, tag, std::move(named));
            file.TakeName(std::move(name));
            return file;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

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
        if (IsLeftoverOf(entry->d_name, listName, tag)) Sys().Unlinkat(folder, entry->d_name, 0);
    ::closedir(entries);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(other.m_folder),
      m_tag(std::move(other.m_tag)),
      m_file(std::move(other.m_file)),
      m_name(std::exchange(other.m_name, {})),
      m_registered(std::move(other.m_registered)) {}

TemporaryFile::~TemporaryFile() {
    m_file.Close();
    if (IsNamed()) Sys().Unlinkat(m_folder, m_name.c_str(), 0);
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
    m_name.clear();
    m_registered.Clear();
    return true;
}

void TemporaryFile::Unlink() {
    if (!IsNamed()) return;
    Sys().Unlinkat(m_folder, m_name.c_str(), 0);
    m_name.clear();
    m_registered.Clear();
}
