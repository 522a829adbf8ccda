// Writing gzip, through zlib.
#pragma once

#include <memory>

#include "write/Encoder.h"

std::unique_ptr<Encoder> GzipEncoder();
