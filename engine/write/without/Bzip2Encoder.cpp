// A build without bzip2: a result asked for in bzip2 is refused, not written plain.
#include "write/Bzip2Encoder.h"

#include "api/JobFailure.h"
#include "api/StatusTexts.h"

std::unique_ptr<Encoder> Bzip2Encoder() {
    throw JobFailure(status::kOutputCantBeOpened,
                     {0, "bzip2 lists are not supported by this build"});
}
