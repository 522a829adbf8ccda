// What a program that is being stopped (a signal, Ctrl-C) does before it
// ends, so that its runs leave every list whole and nothing behind: the
// runs' named temporary files are removed, and a file of removed lines being
// appended to is cut back to its last whole list. The program installs its
// own handler and calls this from it, then ends.
#pragma once

namespace lintrim {

// Async-signal-safe on Linux. On Windows it holds every run's renames and
// appends back from then on, so the program must end right after it.
void CleanUpForStop() noexcept;

}  // namespace lintrim
