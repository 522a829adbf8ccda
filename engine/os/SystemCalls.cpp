// The switch between the real calls and those a test installs. Each system's
// calls are in FileCalls.cpp and the files named after the classes that
// make them.
#include "os/SystemCalls.h"

#include <atomic>

namespace lintrim {

namespace {
SystemCalls g_realCalls;
std::atomic<SystemCalls*> g_activeCalls{&g_realCalls};
}  // namespace

SystemCalls& Sys() {
    return *g_activeCalls.load(std::memory_order_acquire);
}

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& replacement)
    : m_previous(g_activeCalls.exchange(&replacement, std::memory_order_acq_rel)) {}

ScopedSystemCalls::~ScopedSystemCalls() {
    g_activeCalls.store(m_previous, std::memory_order_release);
}

}  // namespace lintrim
