// Writing zstd, through libzstd.
#pragma once

#include <memory>

#include "write/Encoder.h"

namespace lintrim {

std::unique_ptr<Encoder> ZstdEncoder();

}  // namespace lintrim
