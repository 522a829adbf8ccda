// The stop note in a fixed buffer, its length the sign that it is whole.
#include "StopNote.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {
char g_note[4096];
std::atomic<size_t> g_length{0};
}  // namespace

void SetStopNote(const std::string& note) {
    g_length.store(0, std::memory_order_release);
    const size_t length = std::min(note.size(), sizeof g_note);
    std::memcpy(g_note, note.data(), length);
    g_length.store(length, std::memory_order_release);
}

std::string_view StopNote() noexcept {
    return {g_note, g_length.load(std::memory_order_acquire)};
}
