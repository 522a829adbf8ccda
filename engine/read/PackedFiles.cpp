// The checks of each kind of packed file.
#include "read/PackedFiles.h"

#include <cstdint>
#include <cstring>

namespace lintrim {

namespace {
bool StartsWith(const char* bytes, size_t size, const char* magic, size_t magicSize) {
    return size >= magicSize && std::memcmp(bytes, magic, magicSize) == 0;
}

uint64_t LittleEndian(const char* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = count; i > 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[i - 1]);
    return value;
}

// Legacy .lzma (LZMA_Alone) has no magic number: a 13-byte header of the
// properties byte (below 9 * 5 * 5), the dictionary size and the
// uncompressed size (all ones: unknown). liblzma writes a dictionary of
// 2^n or 2^n + 2^(n-1) bytes, at least 4 KiB, and takes a size below
// 256 GiB; as it checks when it guesses the format, with the dictionary
// bound besides, so that binary bytes such as twelve 0xff are a list.
constexpr size_t kLzmaHeader = 13;
constexpr unsigned char kLzmaPropertiesEnd = 225;
constexpr uint64_t kLzmaSmallestDictionary = 4096;
constexpr uint64_t kLzmaLargestSize = uint64_t{1} << 38;

bool SaneDictionary(uint64_t size) {
    if (size < kLzmaSmallestDictionary || size == UINT32_MAX) return false;
    uint64_t bits = size - 1;  // a size of the allowed forms, rounded up to 2^n - 1
    bits |= bits >> 2;
    bits |= bits >> 3;
    bits |= bits >> 4;
    bits |= bits >> 8;
    bits |= bits >> 16;
    return bits + 1 == size;
}

bool StartsAsLzma(const char* bytes, size_t size) {
    if (size < kLzmaHeader || static_cast<unsigned char>(bytes[0]) >= kLzmaPropertiesEnd)
        return false;
    const uint64_t content = LittleEndian(bytes + 5, 8);
    return SaneDictionary(LittleEndian(bytes + 1, 4)) &&
           (content == UINT64_MAX || content < kLzmaLargestSize);
}

// compress(1): its magic, then a flags byte of 9 to 16 bits a code and no
// reserved bit set.
bool StartsAsCompress(const char* bytes, size_t size) {
    if (!StartsWith(bytes, size, "\x1f\x9d", 2) || size < 3) return false;
    const auto flags = static_cast<unsigned char>(bytes[2]);
    return (flags & 0x60) == 0 && (flags & 0x1f) >= 9 && (flags & 0x1f) <= 16;
}

// A tar header block: "ustar" at 257 (POSIX "ustar\0" and GNU "ustar ") and
// the octal checksum at 148 of the block's bytes summed with the checksum's
// own eight taken as spaces, unsigned or (as old tars summed) signed.
constexpr size_t kTarMagicAt = 257;
constexpr size_t kTarChecksumAt = 148;
constexpr size_t kTarChecksumSize = 8;

bool StartsAsTar(const char* bytes, size_t size) {
    if (size < kPackedCheckSize || std::memcmp(bytes + kTarMagicAt, "ustar", 5) != 0) return false;
    uint64_t recorded = 0;
    size_t at = kTarChecksumAt;
    while (at < kTarChecksumAt + kTarChecksumSize && bytes[at] == ' ') ++at;
    if (at == kTarChecksumAt + kTarChecksumSize || bytes[at] < '0' || bytes[at] > '7') return false;
    for (; at < kTarChecksumAt + kTarChecksumSize && bytes[at] >= '0' && bytes[at] <= '7'; ++at)
        recorded = recorded * 8 + static_cast<uint64_t>(bytes[at] - '0');
    int64_t unsignedSum = 0, signedSum = 0;
    for (size_t i = 0; i < kPackedCheckSize; ++i) {
        const bool field = i >= kTarChecksumAt && i < kTarChecksumAt + kTarChecksumSize;
        unsignedSum += field ? ' ' : static_cast<unsigned char>(bytes[i]);
        signedSum += field ? ' ' : static_cast<signed char>(bytes[i]);
    }
    return static_cast<int64_t>(recorded) == unsignedSum ||
           static_cast<int64_t>(recorded) == signedSum;
}
}  // namespace

const char* PackedFileOfStart(const char* bytes, size_t size) {
    if (StartsWith(bytes, size, "PK\x03\x04", 4) || StartsWith(bytes, size, "PK\x05\x06", 4))
        return "a zip archive";
    if (StartsWith(bytes, size, "7z\xbc\xaf\x27\x1c", 6)) return "a 7z archive";
    if (StartsAsTar(bytes, size)) return "a tar archive";
    if (StartsWith(bytes, size, "LZIP\x01", 5)) return "an lzip file";
    if (StartsAsCompress(bytes, size)) return "a compress (.Z) file";
    if (StartsWith(bytes, size, "\x02\x21\x4c\x18", 4)) return "a legacy lz4 file";
    if (StartsAsLzma(bytes, size)) return "an lzma file";
    return nullptr;
}

std::string NotAWordList(const char* kind, ListFormat outer) {
    const std::string inside =
        outer == ListFormat::kPlain ? "" : std::string(" compressed with ") + FormatName(outer);
    return kind + inside + ", not a word list";
}

}  // namespace lintrim
