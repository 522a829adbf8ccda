// A build without bzip2: a bzip2 list is still known by its magic number, and
// refused by name rather than read as plain bytes.
#include "read/Bzip2Source.h"

#include "lintrim/JobFailure.h"

namespace lintrim {

std::unique_ptr<ByteSource> Bzip2Source(std::unique_ptr<ByteSource>, const char* failureText) {
    throw JobFailure(failureText, {0, "bzip2 lists are not supported by this build"});
}

}  // namespace lintrim
