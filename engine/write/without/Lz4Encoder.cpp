// A build without lz4: a result asked for in lz4 is refused, not written plain.
#include "write/Lz4Encoder.h"

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

std::unique_ptr<Encoder> Lz4Encoder() {
    throw JobFailure(status::kOutputCantBeOpened, {0, "lz4 lists are not supported by this build"});
}

}  // namespace lintrim
