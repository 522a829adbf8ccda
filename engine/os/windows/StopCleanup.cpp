// The cleanup of a stop on Windows, where the handler runs on a thread of its
// own while the run goes on: it takes the stop lock and keeps it until the
// process has ended, so that no rename and no append comes after it.
#include "lintrim/StopCleanup.h"

#include "os/RegisteredLength.h"
#include "os/RegisteredName.h"
#include "os/windows/Win32.h"

namespace lintrim {

void CleanUpForStop() noexcept {
    win32::StopLock().lock();
    RegisteredLength::CutAll();
    RegisteredName::RemoveAll();
}

}  // namespace lintrim
