// A small fixed table of slots. A slot is free, being filled, or ready; a
// handler reads only ready slots, and a slot is marked ready only after its
// folder and name are written. The same table serves the console's stop
// handler on Windows, which runs on a thread of its own.
#include "os/RegisteredName.h"

#include <array>
#include <atomic>
#include <cstring>
#include <utility>

#include "os/SystemCalls.h"

namespace lintrim {

namespace {
enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    int folder = -1;
    char name[64] = {};
};

// A replacement and a few spill files at once.
std::array<Slot, 8> g_slots;
static_assert(std::atomic<int>::is_always_lock_free);
}  // namespace

RegisteredName::RegisteredName(int folder, const std::string& name) {
    if (name.size() >= sizeof(Slot::name)) return;
    for (size_t i = 0; i < g_slots.size(); ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        slot.folder = folder;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.state.store(kReady, std::memory_order_release);
        m_slot = static_cast<int>(i);
        return;
    }
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
    g_slots[static_cast<size_t>(std::exchange(m_slot, -1))].state.store(kFree,
                                                                        std::memory_order_release);
}

void RegisteredName::RemoveAll() noexcept {
    for (Slot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == kReady)
            Sys().Unlinkat(slot.folder, slot.name);
}

}  // namespace lintrim
