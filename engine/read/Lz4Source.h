// Lists in the LZ4 frame format, through liblz4.
#pragma once

#include <cstdint>
#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

// The decompressed bytes of one or more lz4 frames (skippable frames among
// them are passed over) read from `compressed`; a frame cut short or
// corrupt is reported.
std::unique_ptr<ByteSource> Lz4Source(std::unique_ptr<ByteSource> compressed,
                                      const char* failureText);

// The content size the first frame's header records; 0 when it records
// none (the lz4 tool leaves it out unless asked).
uint64_t Lz4InflatedSize(int fd, uint64_t fileSize);

}  // namespace lintrim
