// Copying the bytes of a line where most lines are short: into a
// partition, a group, a stretch of the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lintrim {

// Copies `length` bytes, from sizeof(Word) to twice that, as a first and a
// last word that overlap.
template <typename Word>
inline void CopyAsTwoWords(char* to, const char* from, size_t length) {
    Word head;
    Word tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + length - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + length - sizeof tail, &tail, sizeof tail);
}

// Most lines of a word list are shorter than 16 bytes: two overlapping
// moves copy them without a call into the C library.
inline void CopyLine(char* to, const char* from, size_t length) {
    if (length >= 8 && length <= 16)
        CopyAsTwoWords<uint64_t>(to, from, length);
    else if (length >= 4 && length < 8)
        CopyAsTwoWords<uint32_t>(to, from, length);
    else
        std::memcpy(to, from, length);
}

}  // namespace lintrim
