// A build without lz4: an lz4 list is still known by its magic number, and
// refused by name rather than read as plain bytes.
#include "read/Lz4Source.h"

#include "lintrim/JobFailure.h"

namespace lintrim {

std::unique_ptr<ByteSource> Lz4Source(std::unique_ptr<ByteSource>, const char* failureText) {
    throw JobFailure(failureText, {0, "lz4 lists are not supported by this build"});
}

// Nothing is known of the size of what cannot be read.
uint64_t Lz4InflatedSize(int, uint64_t) {
    return 0;
}

}  // namespace lintrim
