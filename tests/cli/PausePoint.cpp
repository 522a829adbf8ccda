// Linked only into lintrim-cli-paused, the test build of lintrim-cli: when
// LINTRIM_PAUSE names a FIFO, the program opens it just before it checks and
// replaces a list (the new file has its name by then); when
// LINTRIM_APPEND_PAUSE does, once the first bytes of a list's removed lines
// reach the file of removed lines, before they are all there and synced
// (from the second list on: the first list's make the file). The test opens
// the other end once the program has the FIFO open, which tells the test
// the program is there, and writes a byte; the program goes on when the
// test closes its end. Under Wine opening does not wait for the test: an end of
// the FIFO before the byte only means the test has not come yet.
#include <fcntl.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "os/SystemCalls.h"
#include "write/AppendedFile.h"
#include "write/ReplacementFile.h"

using namespace lintrim;

namespace {
void WaitOnFifoIn(const char* variable) {
    const char* fifo = std::getenv(variable);
    if (!fifo) return;
    // Through the engine's calls: the C runtime of Windows would take the
    // first end for good.
    const int fd = Sys().Open(fifo, O_RDONLY, 0);
    if (fd < 0) return;
    char byte;
    bool met = false;
    for (;;) {
        const auto got = Sys().Read(fd, &byte, 1);
        if (got > 0) met = true;
        if (got < 0 || (got == 0 && met)) break;
        if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Sys().Close(fd);
}

[[maybe_unused]] const bool g_installed =
    (ReplacementFile::SetCommitPauseForTesting([] { WaitOnFifoIn("LINTRIM_PAUSE"); }),
     AppendedFile::SetAppendPauseForTesting([] { WaitOnFifoIn("LINTRIM_APPEND_PAUSE"); }), true);
}  // namespace
