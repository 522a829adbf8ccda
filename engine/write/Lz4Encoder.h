// Writing lz4 (the LZ4 frame format), through liblz4.
#pragma once

#include <memory>

#include "write/Encoder.h"

namespace lintrim {

std::unique_ptr<Encoder> Lz4Encoder();

}  // namespace lintrim
