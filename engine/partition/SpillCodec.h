// The codec of temporary files' blocks. A block that would not shrink is
// stored as it is; a build without the codec's library stores every block
// so, and its runs give the same results with more disk.
#pragma once

#include <cstddef>

namespace lintrim {

class SpillCodec {
public:
    // The room a block of `size` bytes may take packed.
    static size_t Bound(size_t size);
    // Packs `size` bytes into `to` (Bound(size) bytes); returns the packed
    // size, or 0 when the block is best stored as it is.
    static size_t Pack(const char* from, size_t size, char* to);
    // Unpacks a packed block into exactly `size` bytes; false when `from`
    // is not such a block.
    static bool Unpack(const char* from, size_t packed, char* to, size_t size);
};

}  // namespace lintrim
