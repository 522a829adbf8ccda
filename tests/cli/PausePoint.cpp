// Linked only into lintrim-cli-paused, the test build of lintrim-cli: when
// LINTRIM_PAUSE names a FIFO, the program opens it just before it checks and
// replaces a list (the new file has its name by then). Opening waits until
// the test opens the other end, which tells the test the program is there;
// the program goes on when the test closes its end.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "write/ReplacementFile.h"

namespace {
void WaitOnPauseFifo() {
    const char* fifo = std::getenv("LINTRIM_PAUSE");
    if (!fifo) return;
    const int fd = ::open(fifo, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char byte;
    while (::read(fd, &byte, 1) > 0) {
    }
    ::close(fd);
}

[[maybe_unused]] const bool g_installed =
    (ReplacementFile::SetCommitPauseForTesting(WaitOnPauseFifo), true);
}  // namespace
