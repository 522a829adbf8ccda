// A build without bzip2: a result asked for in bzip2 is refused, not written plain.
#include "write/Bzip2Encoder.h"

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

std::unique_ptr<Encoder> Bzip2Encoder() {
    throw JobFailure(status::kOutputCantBeOpened,
                     {0, "bzip2 lists are not supported by this build"});
}

}  // namespace lintrim
