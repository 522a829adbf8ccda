// A build without xz: a result asked for in xz is refused, not written plain.
#include "write/XzEncoder.h"

#include "api/JobFailure.h"
#include "api/StatusTexts.h"

std::unique_ptr<Encoder> XzEncoder() {
    throw JobFailure(status::kOutputCantBeOpened, {0, "xz lists are not supported by this build"});
}
