// Writing zstd, through libzstd.
#pragma once

#include <memory>

#include "write/Encoder.h"

std::unique_ptr<Encoder> ZstdEncoder();
