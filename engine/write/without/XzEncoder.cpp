// A build without xz: a result asked for in xz is refused, not written plain.
#include "write/XzEncoder.h"

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

std::unique_ptr<Encoder> XzEncoder() {
    throw JobFailure(status::kOutputCantBeOpened, {0, "xz lists are not supported by this build"});
}

}  // namespace lintrim
