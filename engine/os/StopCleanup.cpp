// The cleanup of a stop, from the registers a handler can reach.
#include "lintrim/StopCleanup.h"

#include "os/RegisteredLength.h"
#include "os/RegisteredName.h"

namespace lintrim {

void CleanUpForStop() noexcept {
    RegisteredLength::CutAll();
    RegisteredName::RemoveAll();
}

}  // namespace lintrim
