// Writing bzip2, through libbz2.
#pragma once

#include <memory>

#include "write/Encoder.h"

namespace lintrim {

std::unique_ptr<Encoder> Bzip2Encoder();

}  // namespace lintrim
