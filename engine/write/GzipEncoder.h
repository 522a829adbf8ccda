// Writing gzip, through zlib.
#pragma once

#include <memory>

#include "write/Encoder.h"

namespace lintrim {

std::unique_ptr<Encoder> GzipEncoder();

}  // namespace lintrim
