// Keys read out of lines: hashed as they are read, or through a small
// buffer, and compared in place.
#include "load/LineKey.h"

namespace lintrim {

namespace {
constexpr uint64_t kEachByte = 0x0101010101010101;
// Odd 64-bit constants with well-spread bits, for the case hash's mixing.
constexpr uint64_t kSpread[] = {0xa0761d6478bd642f, 0xe7037ed1a0b428db, 0x8ebc6af09c88c6e3};

// Lowercases the ASCII letters among 8 bytes at once: a byte's top bit is
// set by adding when its low 7 bits reach 'A', and again when they pass
// 'Z' (no sum carries into the next byte); bytes above 127 stay.
uint64_t FoldWord(uint64_t word) {
    const uint64_t low = word & 0x7f * kEachByte;
    const uint64_t fromA = low + (0x80 - 'A') * kEachByte;
    const uint64_t pastZ = low + (0x80 - 'Z' - 1) * kEachByte;
    const uint64_t upper = fromA & ~pastZ & ~word & 0x80 * kEachByte;
    return word | upper >> 2;  // 0x80 >> 2 is the case bit
}

template <typename Word>
uint64_t Read(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The 128-bit product of a and b folded to 64 bits.
uint64_t Mix(uint64_t a, uint64_t b) {
    __extension__ using Wide = unsigned __int128;
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
}

}  // namespace

// The hash of the case key of a short line, the most common key, folded a
// word at a time as it is read, with no copy. Like the line hash for short
// lines, it reads overlapping words (both ends of a short line, the last 16
// bytes of a longer one), so no byte past the line is read; each 16 bytes
// are mixed by a 128-bit multiply. It is a hash of the key alone: a line
// folded already hashes the same.
uint64_t LineKey::FoldedHash(const char* line, size_t length) {
    uint64_t a = 0;
    uint64_t b = 0;
    uint64_t seed = kSpread[0];
    if (length > 16) {
        for (size_t at = 0; at + 16 < length; at += 16)
            seed = Mix(FoldWord(Read<uint64_t>(line + at)) ^ kSpread[1],
                       FoldWord(Read<uint64_t>(line + at + 8)) ^ seed);
        a = FoldWord(Read<uint64_t>(line + length - 16));
        b = FoldWord(Read<uint64_t>(line + length - 8));
    } else if (length >= 4) {
        const size_t middle = length >> 3 << 2;  // 0 or 4: the inner words
        a = FoldWord(Read<uint32_t>(line) << 32 | Read<uint32_t>(line + middle));
        b = FoldWord(Read<uint32_t>(line + length - 4) << 32 |
                     Read<uint32_t>(line + length - 4 - middle));
    } else if (length > 0) {
        const auto byte = [&](size_t at) { return uint64_t{static_cast<unsigned char>(line[at])}; };
        a = FoldWord(byte(0) << 16 | byte(length >> 1) << 8 | byte(length - 1));
    }
    return Mix(kSpread[1] ^ length, Mix(a ^ kSpread[1], b ^ seed ^ kSpread[2]));
}

// Which hash a key gets depends on the key alone: a long key the line hash,
// streamed in chunks; a short one the case hash with the case key, else the
// line hash. A line with nothing to decode is read in place.
uint64_t LineKey::KeyedHash(const char* line, size_t length) const {
    const LineBytes bytes = BytesOf(line, length);
    if (!bytes.hex && !Fold()) return HashLine(line, length);
    if (bytes.size > kHashedAtOnce) return ChunkedHash(bytes);
    if (!bytes.hex) return FoldedHash(line, length);
    char key[kHashedAtOnce];
    for (size_t i = 0; i < bytes.size; ++i) key[i] = static_cast<char>(KeyByte(bytes, i));
    return Fold() ? FoldedHash(key, bytes.size) : HashLine(key, bytes.size);
}

// The streaming hash of the whole equals the hash taken at once.
uint64_t LineKey::ChunkedHash(const LineBytes& bytes) const {
    char chunk[kHashedAtOnce];
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    for (size_t from = 0; from < bytes.size; from += kHashedAtOnce) {
        const size_t count = std::min(kHashedAtOnce, bytes.size - from);
        for (size_t i = 0; i < count; ++i) chunk[i] = static_cast<char>(KeyByte(bytes, from + i));
        XXH3_64bits_update(&state, chunk, count);
    }
    return XXH3_64bits_digest(&state);
}

bool LineKey::KeyedEqual(const char* a, size_t aLength, const char* b, size_t bLength) const {
    m_field.Narrow(a, aLength);
    m_field.Narrow(b, bLength);
    if (BytesOnly()) return aLength == bLength && std::memcmp(a, b, aLength) == 0;
    const LineBytes x = BytesOf(a, aLength);
    const LineBytes y = BytesOf(b, bLength);
    if (x.size != y.size) return false;
    for (size_t i = 0; i < x.size; ++i)
        if (KeyByte(x, i) != KeyByte(y, i)) return false;
    return true;
}

int LineKey::KeyedCompare(const char* a, size_t aLength, const char* b, size_t bLength) const {
    m_field.Narrow(a, aLength);
    m_field.Narrow(b, bLength);
    if (BytesOnly()) return LineKey().Compare(a, aLength, b, bLength);
    const LineBytes x = BytesOf(a, aLength);
    const LineBytes y = BytesOf(b, bLength);
    const size_t common = std::min(x.size, y.size);
    for (size_t i = 0; i < common; ++i) {
        const int c = KeyByte(x, i) - KeyByte(y, i);
        if (c != 0) return c;
    }
    return x.size < y.size ? -1 : x.size > y.size ? 1 : 0;
}

uint64_t LineKey::KeyedPrefix(const char* line, size_t length) const {
    m_field.Narrow(line, length);
    if (BytesOnly()) return LineKey().Prefix(line, length);
    const LineBytes bytes = BytesOf(line, length);
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < bytes.size ? KeyByte(bytes, i) : 0);
    return prefix;
}

}  // namespace lintrim
