// The files to cut back on a stop, on Windows. The console calls its handler
// on a thread of its own, which holds win32::StopLock() until the process
// has ended: a write or a new length takes the same lock, so that it comes
// wholly before the cut or never. The table is an ordinary one under a
// lock of its own.
#include "os/RegisteredLength.h"

#include <map>
#include <mutex>
#include <utility>

#include "os/SystemCalls.h"
#include "os/windows/Win32.h"

namespace lintrim {

namespace {
std::mutex g_lock;
std::map<int, std::pair<int, off_t>> g_files;  // by slot: descriptor and length
int g_lastSlot = 0;
}  // namespace

RegisteredLength::RegisteredLength(int fd, off_t length) : m_fd(fd) {
    const std::lock_guard lock(g_lock);
    m_slot = ++g_lastSlot;
    g_files[m_slot] = {fd, length};
}

RegisteredLength::RegisteredLength(RegisteredLength&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_slot(std::exchange(other.m_slot, -1)) {}

RegisteredLength& RegisteredLength::operator=(RegisteredLength&& other) noexcept {
    if (this != &other) {
        Clear();
        m_fd = std::exchange(other.m_fd, -1);
        m_slot = std::exchange(other.m_slot, -1);
    }
    return *this;
}

void RegisteredLength::Set(off_t length) {
    if (m_slot < 0) return;
    const std::lock_guard stop(win32::StopLock());
    const std::lock_guard lock(g_lock);
    g_files[m_slot].second = length;
}

ssize_t RegisteredLength::Write(const char* bytes, size_t size) {
    const std::lock_guard stop(win32::StopLock());
    return Sys().Write(m_fd, bytes, size);
}

void RegisteredLength::Clear() {
    m_fd = -1;
    if (m_slot < 0) return;
    const std::lock_guard stop(win32::StopLock());
    const std::lock_guard lock(g_lock);
    g_files.erase(std::exchange(m_slot, -1));
}

// Called with the stop lock held.
void RegisteredLength::CutAll() noexcept {
    const std::lock_guard lock(g_lock);
    for (const auto& [slot, file] : g_files) {
        const auto [fd, length] = file;
        FileStatus status;
        if (Sys().Stat(fd, &status) == 0 && status.size > length &&
            Sys().Ftruncate(fd, length) == 0)
            Sys().Fsync(fd);
    }
}

}  // namespace lintrim
