// Xz-compressed lists, through liblzma.
#pragma once

#include <cstdint>
#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

// The inflated bytes of one or more xz streams (with the stream padding
// the format allows between them) read from `compressed`; a stream cut
// short or corrupt is reported.
std::unique_ptr<ByteSource> XzSource(std::unique_ptr<ByteSource> compressed,
                                     const char* failureText, uint64_t memoryLimit);

// The inflated size the last stream's index records; 0 when it cannot be
// read (stream padding at the end, a damaged index).
uint64_t XzInflatedSize(int fd, uint64_t fileSize);

}  // namespace lintrim
