// The stop signals blocked on this thread, and the earlier mask put back.
#include "os/StopsHeld.h"

#include <signal.h>

namespace lintrim {

struct StopsHeld::Held {
    sigset_t previous;
};

StopsHeld::StopsHeld() : m_held(std::make_unique<Held>()) {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &m_held->previous);
}

StopsHeld::~StopsHeld() {
    pthread_sigmask(SIG_SETMASK, &m_held->previous, nullptr);
}

}  // namespace lintrim
