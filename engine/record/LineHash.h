// The 64-bit hash of a line (XXH3): it picks a line's partition (top bits)
// and its slot in a partition's table (low bits). Equal hashes are never
// taken as equal lines; the bytes are always compared.
#pragma once

#include <cstddef>
#include <cstdint>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace lintrim {

inline uint64_t HashLine(const char* line, size_t length) {
    return XXH3_64bits(line, length);
}

}  // namespace lintrim
