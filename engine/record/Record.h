// The records a run is made of, in memory and in temporary files alike.
//
// A partition record is one line as loaded: its length, its load index (its
// place among all the non-empty lines loaded for the list, so that ordering
// by index is ordering by file), then its bytes. The top bit of the index
// marks a line of a reference list.
//
// A kept record is one distinct line after grouping: the same head, then
// how many copies of it the input held, then its bytes. Its index is that of
// its first copy; the top bit marks a line that a reference list also holds.
//
// Records are packed with no padding; their fields are read with memcpy.
// The index takes 5 bytes: 39 bits of index (half a trillion lines) and the
// reference bit.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace lintrim {

static_assert(std::endian::native == std::endian::little, "records store indexes little-endian");

namespace record {
inline constexpr uint64_t kReferenceBit = uint64_t{1} << 39;
inline constexpr size_t kIndexBytes = 5;
inline constexpr size_t kHeadSize = 4 + kIndexBytes;    // length, index
inline constexpr size_t kKeptHeadSize = kHeadSize + 8;  // length, index, copies

inline uint32_t Length(const char* r) {
    uint32_t length;
    std::memcpy(&length, r, sizeof length);
    return length;
}
inline uint64_t Index(const char* r) {
    uint64_t index = 0;
    std::memcpy(&index, r + 4, kIndexBytes);  // little-endian, as written
    return index;
}
inline void SetIndex(char* r, uint64_t index) {
    std::memcpy(r + 4, &index, kIndexBytes);
}
inline uint64_t Copies(const char* kept) {
    uint64_t copies;
    std::memcpy(&copies, kept + kHeadSize, sizeof copies);
    return copies;
}
inline void SetCopies(char* kept, uint64_t copies) {
    std::memcpy(kept + kHeadSize, &copies, sizeof copies);
}
inline const char* Line(const char* r) {
    return r + kHeadSize;
}
inline const char* KeptLine(const char* kept) {
    return kept + kKeptHeadSize;
}
inline size_t Size(const char* r) {
    return kHeadSize + Length(r);
}
inline size_t KeptSize(const char* kept) {
    return kKeptHeadSize + Length(kept);
}

// Writes a head at `to`.
inline void WriteHead(char* to, uint32_t length, uint64_t index) {
    std::memcpy(to, &length, sizeof length);
    SetIndex(to, index);
}
}  // namespace record

}  // namespace lintrim
