// Starting a program on Linux: arguments are bytes already, streams are
// never translated, and the stop signals are caught.
#include "ProgramStart.h"

#include <signal.h>
#include <unistd.h>

#include "StopNote.h"
#include "lintrim/StopCleanup.h"

using namespace lintrim;

namespace {
// A run stopped by a signal leaves the list as it was and no file beside it:
// the new file has no name until just before its rename, and a name it has
// at the moment of the signal is removed here. A file being appended to (the
// removed lines) is cut back to its last whole step. The signal is then
// delivered again with its default action, so the caller sees the usual
// 128 + signal.
void OnStopSignal(int signal) {
    CleanUpForStop();
    const std::string_view note = StopNote();
    if (!note.empty() && ::write(STDERR_FILENO, note.data(), note.size()) < 0) {
        // Nothing more can be said.
    }
    ::raise(signal);
}
}  // namespace

namespace program_start {
std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

void UseBinaryStreams() {}

void RemoveTemporariesOnStop() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the caller ignores (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}
}  // namespace program_start
