// A build without zstd: a zstd list is still known by its magic number, and
// refused by name rather than read as plain bytes.
#include "read/ZstdSource.h"

#include "lintrim/JobFailure.h"

namespace lintrim {

std::unique_ptr<ByteSource> ZstdSource(std::unique_ptr<ByteSource>, const char* failureText,
                                       uint64_t) {
    throw JobFailure(failureText, {0, "zstd lists are not supported by this build"});
}

// Nothing is known of the size of what cannot be read.
uint64_t ZstdInflatedSize(int, uint64_t) {
    return 0;
}

}  // namespace lintrim
