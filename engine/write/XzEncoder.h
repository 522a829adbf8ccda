// Writing xz, through liblzma.
#pragma once

#include <memory>

#include "write/Encoder.h"

std::unique_ptr<Encoder> XzEncoder();
