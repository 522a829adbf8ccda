// The cleanup of a stop, from the registers a handler can reach.
#include "api/StopCleanup.h"

#include "os/RegisteredLength.h"
#include "os/RegisteredName.h"

void CleanUpForStop() noexcept {
    RegisteredLength::CutAll();
    RegisteredName::RemoveAll();
}
