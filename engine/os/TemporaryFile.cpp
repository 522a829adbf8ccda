// Making, naming, renaming and removing temporary files, and recognising
// the leftovers of killed runs by their names.
#include "os/TemporaryFile.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "os/StopsHeld.h"
#include "os/SystemCalls.h"

namespace lintrim {

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

std::string NewName(const std::string& tag) {
    return kPrefix + tag + "-" + Hex(Sys().Random());
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

// True while `name` in the folder is the open file `fd`.
bool NameHolds(int folder, const std::string& name, int fd) {
    FileStatus named;
    FileStatus open;
    return Sys().StatAt(folder, name.c_str(), &named) == 0 && Sys().Stat(fd, &open) == 0 &&
           named.device == open.device && named.inode == open.inode;
}

// A leftover that cannot be opened or locked may belong to a live run (of
// another user, or one writing it now) and stays.
void RemoveIfAbandoned(int folder, const char* name) {
    FileHandle file(Sys().OpenLeftover(folder, name));
    if (!file.IsOpen() || Sys().Lock(file.Get()) != 0) return;
    if (NameHolds(folder, name, file.Get())) Sys().RemoveTemporary(file.Get(), folder, name);
}
}  // namespace

// Only a file system that cannot make a self-removing file sends the run
// to named ones; on Windows a random name that is taken is tried again.
std::optional<TemporaryFile> TemporaryFile::Create(int folder, const std::string& listName,
                                                   FailureCause& why, int access) {
    const std::string tag = TagOf(listName);
    for (int i = 0; i < kNameTries; ++i) {
        std::string name = NewName(tag);
        FileHandle made(Sys().MakeTemporary(folder, name.c_str(), access));
        if (made.IsOpen()) {
            TemporaryFile file(folder, tag, std::move(name), std::move(made));
            if (!file.HoldLock(why)) return std::nullopt;
            return file;
        }
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return CreateNamed(folder, tag, why, access);
        if (errno != EEXIST) return why = FailureOf(SystemCall::kMakeTemporary), std::nullopt;
    }
    return why = FailureOf(SystemCall::kMakeTemporary), std::nullopt;
}

std::optional<TemporaryFile> TemporaryFile::CreateNamed(int folder, const std::string& tag,
                                                        FailureCause& why, int access) {
    errno = EEXIST;
    why = FailureOf(SystemCall::kMakeTemporary);  // every name tried was taken
    for (int i = 0; i < kNameTries; ++i) {
        std::string name = NewName(tag);
        StopsHeld held;
        FileHandle named(Sys().MakeNamed(folder, name.c_str(), access));
        if (!named.IsOpen() && errno != EEXIST)
            return why = FailureOf(SystemCall::kMakeTemporary), std::nullopt;
        if (!named.IsOpen()) continue;
        TemporaryFile file(folder, tag, name, std::move(named));
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
    const std::string tag = TagOf(listName);
    Sys().ListFolder(folder, [&](const char* entry) {
        if (IsLeftoverOf(entry, listName, tag)) RemoveIfAbandoned(folder, entry);
    });
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(other.m_folder),
      m_tag(std::move(other.m_tag)),
      m_madeAs(std::move(other.m_madeAs)),
      m_file(std::move(other.m_file)),
      m_lock(std::move(other.m_lock)),
      m_name(std::exchange(other.m_name, {})),
      m_registered(std::move(other.m_registered)) {}

TemporaryFile::~TemporaryFile() {
    m_file.Close();
    if (IsNamed()) Sys().RemoveTemporary(m_lock.Get(), m_folder, m_name.c_str());
}

// The lock lives on a second descriptor of the same open file, so that it
// lasts from the file's making until after its rename, though the file
// itself is closed before the rename to catch a late write error.
bool TemporaryFile::HoldLock(FailureCause& why) {
    m_lock = FileHandle(Sys().Duplicate(Descriptor()));
    if (!m_lock.IsOpen()) return why = FailureOf(SystemCall::kDuplicate), false;
    if (Sys().Lock(m_lock.Get()) != 0) return why = FailureOf(SystemCall::kLock), false;
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

// A name another file took meanwhile is given up for a new one.
bool TemporaryFile::Link() {
    if (IsNamed()) return true;
    for (int i = 0; i < kNameTries; ++i, m_madeAs = NewName(m_tag)) {
        StopsHeld held;
        if (Sys().NameTemporary(Descriptor(), m_folder, m_madeAs.c_str()) == 0) {
            TakeName(m_madeAs);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// A stop comes wholly before the rename, and removes the file, or after it,
// when the file has no name of its own any more.
bool TemporaryFile::RenameOver(const std::string& target) {
    const StopsHeld held;
    if (Sys().MoveOver(m_lock.Get(), m_folder, m_name.c_str(), target.c_str()) != 0) return false;
    Forget();
    return true;
}

bool TemporaryFile::SyncRename() {
    const bool synced = Sys().SyncRename(m_folder, m_lock.Get()) == 0;
    const int error = errno;
    m_lock.Close();
    errno = error;
    return synced;
}

void TemporaryFile::Unlink() {
    if (!IsNamed()) return;
    Sys().RemoveTemporary(m_lock.Get(), m_folder, m_name.c_str());
    Forget();
}

}  // namespace lintrim
