// The bytes of one list file, read whole into one block. Lines are cut in
// place: each line's break is overwritten with a zero byte, so every row of
// the line table points at its own zero-terminated line inside this block.
#pragma once

#include <cstdint>

#include "LargeBlock.h"

struct ListBuffer {
    // Bytes beyond the file's: room for the last line's zero, and for reading
    // a whole 8-byte word at the start of any line.
    static constexpr uint64_t kSlack = 9;

    LargeBlock block;         // size + kSlack bytes
    uint64_t size = 0;        // bytes of the file
    uint64_t contentEnd = 0;  // where the lines end (before a final end-of-file mark)

    char* Bytes() const { return static_cast<char*>(block.Data()); }
};
