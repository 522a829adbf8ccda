// Bzip2-compressed lists, through libbz2.
#pragma once

#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

// The decompressed bytes of one or more bzip2 streams read from
// `compressed`; a stream cut short or corrupt is reported. The format
// records no size, so a progress estimate has only the file's to go by.
std::unique_ptr<ByteSource> Bzip2Source(std::unique_ptr<ByteSource> compressed,
                                        const char* failureText);

}  // namespace lintrim
