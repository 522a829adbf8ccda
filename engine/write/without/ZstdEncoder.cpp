// A build without zstd: a result asked for in zstd is refused, not written plain.
#include "write/ZstdEncoder.h"

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

std::unique_ptr<Encoder> ZstdEncoder() {
    throw JobFailure(status::kOutputCantBeOpened,
                     {0, "zstd lists are not supported by this build"});
}

}  // namespace lintrim
