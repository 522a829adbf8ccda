// Gzip-compressed lists, through zlib.
#pragma once

#include <cstdint>
#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

// The inflated bytes of a gzip stream (one or more members) read from
// `compressed`; a stream cut short or corrupt is reported.
std::unique_ptr<ByteSource> GzipSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText);

// The inflated size the last member's trailer records (modulo 4 GiB); 0
// when the file is too short to hold one.
uint64_t GzipInflatedSize(int fd, uint64_t fileSize);

}  // namespace lintrim
