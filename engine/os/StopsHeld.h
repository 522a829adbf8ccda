// Keeps the program's stop handler away while it lives: for the few calls
// between a temporary file getting a name and that name being registered
// for the handler (RegisteredName), or being renamed away. On Linux the stop
// signals are blocked on this thread; on Windows, where the console's
// handler runs on a thread of its own and holds win32::StopLock() until the
// process ends, that lock is held.
#pragma once

#include <memory>

namespace lintrim {

class StopsHeld {
public:
    StopsHeld();
    ~StopsHeld();
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;

private:
    struct Held;  // what each system keeps to let the stops through again
    std::unique_ptr<Held> m_held;
};

}  // namespace lintrim
