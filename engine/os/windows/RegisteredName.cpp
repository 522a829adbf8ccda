// The names of temporary files for the stop handler, on Windows. The console
// calls its handler on a thread of its own, so the table is an ordinary one
// under a lock; the handler holds win32::StopLock() first, as a rename does.
#include "os/RegisteredName.h"

#include <map>
#include <mutex>
#include <utility>

#include "os/windows/Win32.h"

namespace {
std::mutex g_lock;
std::map<int, std::wstring> g_names;
int g_lastSlot = 0;
}  // namespace

RegisteredName::RegisteredName(int folder, const std::string& name) {
    const std::optional<std::wstring> path = win32::PathOf(win32::HandleOf(folder));
    if (!path) return;
    const std::lock_guard lock(g_lock);
    m_slot = ++g_lastSlot;
    g_names[m_slot] = win32::Joined(*path, name);
}

RegisteredName::RegisteredName(RegisteredName&& other) noexcept
    : m_slot(std::exchange(other.m_slot, -1)) {}

RegisteredName& RegisteredName::operator=(RegisteredName&& other) noexcept {
    if (this != &other) {
        Clear();
        m_slot = std::exchange(other.m_slot, -1);
    }
    return *this;
}

void RegisteredName::Clear() {
    if (m_slot < 0) return;
    const std::lock_guard lock(g_lock);
    g_names.erase(std::exchange(m_slot, -1));
}

// The file is open, shared for deletion: it goes when the process ends.
void RegisteredName::RemoveAll() noexcept {
    const std::lock_guard lock(g_lock);
    for (const auto& [slot, path] : g_names) ::DeleteFileW(path.c_str());
}
