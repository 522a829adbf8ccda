// The stop lock held, which the console's stop handler takes first.
#include "os/StopsHeld.h"

#include <mutex>

#include "os/windows/Win32.h"

namespace lintrim {

struct StopsHeld::Held {
    std::lock_guard<std::mutex> lock{win32::StopLock()};
};

StopsHeld::StopsHeld() : m_held(std::make_unique<Held>()) {}

StopsHeld::~StopsHeld() = default;

}  // namespace lintrim
