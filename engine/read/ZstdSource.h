// Zstandard-compressed lists, through libzstd.
#pragma once

#include <cstdint>
#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

// The decompressed bytes of one or more zstd frames (skippable frames
// among them are passed over) read from `compressed`; a frame cut short or
// corrupt is reported.
std::unique_ptr<ByteSource> ZstdSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText, uint64_t memoryLimit);

// The content size the first frame's header records; 0 when it records
// none (a frame written from a stream).
uint64_t ZstdInflatedSize(int fd, uint64_t fileSize);

}  // namespace lintrim
