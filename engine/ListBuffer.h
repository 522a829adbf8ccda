// The bytes of one list file, read whole into one block. Lines are cut in
// place: each line's break is overwritten with a zero byte, so every row of
// the line table points at its own zero-terminated line inside this block.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

// The buffer is taken with malloc, which answers "no" to a request the
// system cannot meet instead of ending the program.
struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
};

struct ListBuffer {
    std::unique_ptr<char[], FreeBytes> bytes;  // size + 1 bytes: room for the last line's zero
    uint64_t size = 0;                         // bytes of the file
    uint64_t contentEnd = 0;  // where the lines end (before a final end-of-file mark)
};
