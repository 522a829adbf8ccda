// Reading a list in large blocks, cut into pieces, from whatever source the
// list has (a file, standard input, compressed or not). A piece is what one line
// read returns: the bytes up to and including the next line feed, or the
// rest of the file. Every carriage return at the end of a line belongs to
// its break, so that a line written with either line end reads back as it
// was (LineBefore); a byte 26 ends the list only as its very last byte.
// Only whole pieces are handed on: a piece that straddles two reads waits
// for the next.
//
// For a plain file the length taken when it was opened is the contract: a
// file that grows or shrinks while it is read is reported, never half-used.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <memory>
#include <string>

#include "os/ByteBuffer.h"
#include "read/ByteSource.h"
#include "read/InputList.h"

namespace lintrim {

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
    // Reads the list from its start, in blocks of at most `largestBlock`
    // bytes. Throws JobFailure with `failureText` when it cannot be read whole.
    ListReader(InputList& list, const char* failureText, uint64_t largestBlock = UINT64_MAX);

    // The next stretch; false once the final piece has been handed on.
    // Throws LineOverLimit for a line longer than LimitLines allows.
    bool Next(PieceStretch& stretch);
    // Lines of more than `most` bytes are refused rather than held whole.
    void LimitLines(uint64_t most) { m_longestLine = most; }
    // The list's size as known when it was opened (a hint for compressed
    // lists, 0 for standard input): offsets handed on never pass it, so that
    // progress stays on its scale.
    uint64_t FileSize() const { return m_expected; }

    // Block size of the reads; tests shrink it to make lines straddle blocks.
    static void SetBlockSizeForTesting(uint64_t bytes);

private:
    size_t Fill();
    [[noreturn]] void RefuseLongLine();

    std::string m_name;
    std::unique_ptr<ByteSource> m_source;
    uint64_t m_expected;
    size_t m_blockSize;
    ByteBuffer m_buffer;
    uint64_t m_bufferAt = 0;  // file offset of the buffer's first byte
    size_t m_carried = 0;     // bytes at the buffer's start left from the last stretch
    bool m_done = false;
    uint64_t m_longestLine = UINT64_MAX;
};

// A line longer than the reader's limit: its length, read to its end.
struct LineOverLimit {
    uint64_t length;
};

inline constexpr uint64_t kLongestPiece = UINT32_MAX;
[[noreturn]] void ThrowLineTooLong();

// The length of the line that starts a piece of `size` bytes up to its
// break (its line feed, or the end of the list): every carriage return
// before the break belongs to it.
inline size_t LineBefore(const char* piece, size_t size) {
    while (size > 0 && piece[size - 1] == '\r') --size;
    return size;
}

// One piece as ForEachPiece hands it on.
struct Piece {
    const char* line;  // not terminated; valid only during the call
    uint64_t length;   // the line without its break
    uint64_t after;    // the file offset just past the piece
    const char* next;  // just past the piece in its stretch
    bool ended;        // ended by a line feed: every piece but a list's final one
};

// Calls onPiece(piece) for every piece of the list, in order. Throws
// JobFailure("line too long (4 GiB or more)") for a longer line. Each
// stretch goes to onStretch first, whole.
template <typename OnPiece, typename OnStretch = void (*)(const PieceStretch&)>
void ForEachPiece(
    ListReader& reader, OnPiece&& onPiece, OnStretch&& onStretch = [](const PieceStretch&) {}) {
    PieceStretch s{};
    while (reader.Next(s)) {
        onStretch(s);
        const char* p = s.data;
        const char* end = s.data + s.size;
        while (p < end) {
            const auto* feed = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (!feed) break;
            const uint64_t length = LineBefore(p, static_cast<size_t>(feed - p));
            if (length > kLongestPiece) ThrowLineTooLong();
            onPiece(Piece{
                p, length,
                std::min(s.offset + static_cast<uint64_t>(feed + 1 - s.data), reader.FileSize()),
                feed + 1, true});
            p = feed + 1;
        }
        if (!s.last) continue;
        const uint64_t length = LineBefore(p, static_cast<size_t>(end - p));
        if (length > kLongestPiece) ThrowLineTooLong();
        onPiece(Piece{p, length, reader.FileSize(), end, false});
    }
}

}  // namespace lintrim
