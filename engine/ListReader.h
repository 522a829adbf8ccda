// Reading a list in large blocks, cut into pieces. A piece is what one line
// read returns: the bytes up to and including the next line feed, or the
// rest of the file. A carriage return just before the line feed belongs to
// the break; a byte 26 ends the list only as its very last byte. Only whole
// pieces are handed on: a piece that straddles two reads waits for the next.
//
// The length taken when the file was opened is the contract: a file that
// grows or shrinks while it is read is reported, never half-used.
#pragma once

#include <cstdint>
#include <cstring>

#include "ByteBuffer.h"
#include "InputList.h"

// Whole pieces, from `offset` in the file. When `last` is set the final
// piece (which has no line feed, and may be empty) ends the stretch.
struct PieceStretch {
    const char* data;
    size_t size;
    uint64_t offset;
    bool last;
};

class ListReader {
public:
    // Throws JobFailure with `failureText` when the file cannot be read whole.
    ListReader(InputList& list, const char* failureText);

    // The next stretch; false once the final piece has been handed on.
    bool Next(PieceStretch& stretch);
    uint64_t FileSize() const { return m_list.Size(); }

    // Block size of the reads; tests shrink it to make lines straddle blocks.
    static void SetBlockSizeForTesting(uint64_t bytes);

private:
    void Fill();
    void CheckAtEnd();

    InputList& m_list;
    const char* m_failureText;
    ByteBuffer m_buffer;
    uint64_t m_read = 0;      // bytes of the file read so far
    uint64_t m_bufferAt = 0;  // file offset of the buffer's first byte
    size_t m_carried = 0;     // bytes at the buffer's start left from the last stretch
    bool m_done = false;
};

inline constexpr uint64_t kLongestPiece = UINT32_MAX;
[[noreturn]] void ThrowLineTooLong();

// Calls onPiece(line, length, offsetAfter) for every piece of the list, in
// order; offsetAfter is the file offset just past the piece. The line is
// not terminated; its bytes stay valid only during the call. Throws
// JobFailure("line too long (4 GiB or more)") for a longer line.
template <typename OnPiece>
void ForEachPiece(ListReader& reader, OnPiece&& onPiece) {
    PieceStretch s{};
    while (reader.Next(s)) {
        const char* p = s.data;
        const char* end = s.data + s.size;
        while (p < end) {
            const auto* feed = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (!feed) break;
            const uint64_t length = (feed > p && feed[-1] == '\r') ? feed - p - 1 : feed - p;
            if (length > kLongestPiece) ThrowLineTooLong();
            onPiece(p, length, s.offset + static_cast<uint64_t>(feed + 1 - s.data));
            p = feed + 1;
        }
        if (s.last && static_cast<uint64_t>(end - p) > kLongestPiece) ThrowLineTooLong();
        if (s.last) onPiece(p, static_cast<uint64_t>(end - p), reader.FileSize());
    }
}
