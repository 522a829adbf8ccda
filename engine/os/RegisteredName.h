// A temporary file's name, recorded for as long as the file has one, where a
// stop handler can reach it. A program that ends on a signal (on Windows,
// Ctrl-C and the like) calls RemoveAll() from its handler, so that a
// temporary file that had a name at that moment does not stay behind.
// Registering and removing touch only lock-free atomics and fixed buffers,
// and the removal is SystemCalls::Unlinkat (unlinkat(2) on Linux):
// RemoveAll() is async-signal-safe, and any thread may register while a
// handler runs on another.
#pragma once

#include <string>

namespace lintrim {

class RegisteredName {
public:
    RegisteredName() = default;
    // Records `name` inside the folder open as `folder`; the folder must stay
    // open while the name is recorded. Names longer than the slot are not
    // recorded (the engine's own names are short).
    RegisteredName(int folder, const std::string& name);
    RegisteredName(RegisteredName&& other) noexcept;
    RegisteredName& operator=(RegisteredName&& other) noexcept;
    RegisteredName(const RegisteredName&) = delete;
    RegisteredName& operator=(const RegisteredName&) = delete;
    ~RegisteredName() { Clear(); }

    // Forgets the name (it was renamed or removed).
    void Clear();

    // Removes every recorded name. Async-signal-safe.
    static void RemoveAll() noexcept;

private:
    int m_slot = -1;
};

}  // namespace lintrim
