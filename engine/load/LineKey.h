// What lines are compared by: their bytes, or a key made of them. The
// `$HEX[..]` key takes a line in that form as the bytes it encodes; the
// case key takes ASCII letters as lowercase (bytes above 127 stay as they
// are; a key that sorts as uppercase folds the other way, with the same
// copies). With both, a line is decoded, then folded. Everything that hashes,
// matches or sorts lines asks this class, so copies are found by their key
// in every job, in every order, in memory and on disk alike. With a field
// chosen, the key is made of that field of the line alone.
//
// The key is made on the fly and never stored. A record holds the line as
// read, which is what is written, and the key is read out of it wherever it
// is needed: hashing folds words as it reads them, or decodes into a small
// buffer; matching and sorting read it byte by byte, once equal bytes have
// not settled it. Storing the key beside the line instead would lengthen
// the record of every line that differs from its key and need a mark in a
// head that has no bit to spare, and a key held whole could be as long as
// the longest line, outside the memory budget. Made on the fly, it costs
// only where lines are hashed or compared, and a line not in the `$HEX[`
// form is never copied. A plain key takes the byte-for-byte paths.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "load/LineBytes.h"
#include "load/LineField.h"
#include "record/LineHash.h"

namespace lintrim {

class LineKey {
public:
    LineKey() = default;  // byte for byte
    // `upper`: letters without case sort as uppercase (they match as either).
    LineKey(bool hex, bool foldCase, LineField field = {}, bool upper = false)
        : m_mode((hex ? kHex : 0) | (foldCase ? kFold : 0) | (field.on ? kField : 0) |
                 (foldCase && upper ? kUpper : 0)),
          m_field(field) {}

    // One test of one byte: the plain paths stay as tight as they can be.
    bool Plain() const { return m_mode == 0; }

    // Only a line that starts `$HEX[` or is long leaves the inline paths.
    uint64_t Hash(const char* line, size_t length) const {
        if (Plain()) return HashLine(line, length);
        m_field.Narrow(line, length);
        const bool form = Hex() && LineBytes::StartsHexForm(line, length);
        if (!form && !Fold()) return HashLine(line, length);
        if (!form && length <= kHashedAtOnce) return FoldedHash(line, length);
        return KeyedHash(line, length);
    }
    // Equal bytes always have equal keys.
    bool Equal(const char* a, size_t aLength, const char* b, size_t bLength) const {
        if (aLength == bLength && std::memcmp(a, b, aLength) == 0) return true;
        return !Plain() && KeyedEqual(a, aLength, b, bLength);
    }
    // Byte order of the keys: negative, 0 or positive.
    int Compare(const char* a, size_t aLength, const char* b, size_t bLength) const {
        if (!Plain()) return KeyedCompare(a, aLength, b, bLength);
        const int c = std::memcmp(a, b, std::min(aLength, bLength));
        return c != 0 ? c : (aLength < bLength ? -1 : aLength > bLength ? 1 : 0);
    }
    // The key's first 8 bytes, zero-padded, as a number in byte order.
    uint64_t Prefix(const char* line, size_t length) const {
        if (!Plain()) return KeyedPrefix(line, length);
        uint64_t word = 0;
        std::memcpy(&word, line, std::min<size_t>(length, 8));
        return __builtin_bswap64(word);
    }

private:
    // A key up to this long is hashed at once; a longer one in chunks.
    static constexpr size_t kHashedAtOnce = 256;

    static uint64_t FoldedHash(const char* line, size_t length);
    uint64_t KeyedHash(const char* line, size_t length) const;
    bool KeyedEqual(const char* a, size_t aLength, const char* b, size_t bLength) const;
    int KeyedCompare(const char* a, size_t aLength, const char* b, size_t bLength) const;
    uint64_t KeyedPrefix(const char* line, size_t length) const;
    LineBytes BytesOf(const char* line, size_t length) const {
        return LineBytes::Of(line, length, Hex());
    }
    uint8_t KeyByte(const LineBytes& bytes, size_t i) const {
        const uint8_t c = bytes[i];
        if (Upper()) return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c & ~0x20) : c;
        return Fold() && c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c | 0x20) : c;
    }
    // Out of line, so that its hashing state weighs on no common path.
    [[gnu::noinline]] uint64_t ChunkedHash(const LineBytes& bytes) const;

    static constexpr uint8_t kHex = 1;
    static constexpr uint8_t kFold = 2;
    static constexpr uint8_t kField = 4;
    static constexpr uint8_t kUpper = 8;
    bool Hex() const { return (m_mode & kHex) != 0; }
    bool Fold() const { return (m_mode & kFold) != 0; }
    bool Upper() const { return (m_mode & kUpper) != 0; }

    // Neither decoded nor folded: the field's bytes are the key.
    bool BytesOnly() const { return (m_mode & (kHex | kFold)) == 0; }

    uint8_t m_mode = 0;
    LineField m_field;
};

}  // namespace lintrim
