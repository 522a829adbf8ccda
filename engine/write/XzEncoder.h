// Writing xz, through liblzma.
#pragma once

#include <memory>

#include "write/Encoder.h"

namespace lintrim {

std::unique_ptr<Encoder> XzEncoder();

}  // namespace lintrim
