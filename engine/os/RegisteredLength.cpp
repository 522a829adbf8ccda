// A small fixed table of slots, filled as RegisteredName fills its own. The
// stop handler may run on any thread: the one writing (which then never
// goes back to its write) or another one. Writes, new lengths and the
// release of a slot are therefore fenced against it: the writing thread
// marks itself in its slot, then looks for a stop; the handler marks the
// stop, then waits for a change that another thread marked to end. In
// sequentially consistent order one of the two sees the other, so a change
// is either all done before the cut or never made: the handler cuts to the
// last length set, which comes before the replacement of the list that
// follows it, and never touches a descriptor after its slot is released.
#include "os/RegisteredLength.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <utility>

#include "os/SystemCalls.h"

namespace lintrim {

namespace {
enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    int fd = -1;
    std::atomic<off_t> length{0};
    std::atomic<pid_t> writer{0};  // the thread writing or setting a length, 0 for none
};

std::array<Slot, 4> g_slots;
std::atomic<bool> g_stopping{false};
static_assert(std::atomic<off_t>::is_always_lock_free && std::atomic<pid_t>::is_always_lock_free);

// Marks the calling thread in `slot` for a change, unless the program is
// being stopped: the thread then waits for the handler to end it.
void BeginChange(Slot& slot) {
    slot.writer.store(::gettid());
    if (!g_stopping.load()) return;
    slot.writer.store(0);
    for (;;) ::pause();
}

void EndChange(Slot& slot) {
    slot.writer.store(0);
}

// Waits for a change another thread is making to `slot`.
void WaitForChange(const Slot& slot) {
    const pid_t self = ::gettid();
    for (pid_t writer = slot.writer.load(); writer != 0 && writer != self;)
        writer = slot.writer.load();
}

void Cut(const Slot& slot) {
    const off_t length = slot.length.load();
    struct stat info {};
    if (::fstat(slot.fd, &info) == 0 && info.st_size > length && ::ftruncate(slot.fd, length) == 0)
        ::fsync(slot.fd);
}
}  // namespace

RegisteredLength::RegisteredLength(int fd, off_t length) : m_fd(fd) {
    for (size_t i = 0; i < g_slots.size(); ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        slot.fd = fd;
        slot.length.store(length);
        slot.state.store(kReady, std::memory_order_release);
        m_slot = static_cast<int>(i);
        return;
    }
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
    Slot& slot = g_slots[static_cast<size_t>(m_slot)];
    BeginChange(slot);
    slot.length.store(length);
    EndChange(slot);
}

ssize_t RegisteredLength::Write(const char* bytes, size_t size) {
    if (m_slot < 0) return Sys().Write(m_fd, bytes, size);
    Slot& slot = g_slots[static_cast<size_t>(m_slot)];
    BeginChange(slot);
    const ssize_t done = Sys().Write(m_fd, bytes, size);
    EndChange(slot);
    return done;
}

// Fenced as a write is: once the slot is free the handler leaves the file,
// which may then be closed.
void RegisteredLength::Clear() {
    m_fd = -1;
    if (m_slot < 0) return;
    Slot& slot = g_slots[static_cast<size_t>(std::exchange(m_slot, -1))];
    BeginChange(slot);
    slot.state.store(kFree);
    EndChange(slot);
}

void RegisteredLength::CutAll() noexcept {
    g_stopping.store(true);
    for (const Slot& slot : g_slots) {
        WaitForChange(slot);
        if (slot.state.load() == kReady) Cut(slot);
    }
}

}  // namespace lintrim
