// Telling the formats apart, and the source and size estimate of each.
#include "read/ListFormat.h"

#include <algorithm>
#include <cstring>

#include "read/Bzip2Source.h"
#include "read/GzipSource.h"
#include "read/Lz4Source.h"
#include "read/XzSource.h"
#include "read/ZstdSource.h"

namespace lintrim {

namespace {
// A compressed list is read as about this many times its size when the
// format records no better figure.
constexpr uint64_t kCompressionGuess = 4;

bool StartsWith(const char* bytes, size_t size, const char* magic, size_t magicSize) {
    return size >= magicSize && std::memcmp(bytes, magic, magicSize) == 0;
}

// A zstd frame, or a skippable frame (0x184D2A50 to 0x184D2A5F) before one.
bool StartsAsZstd(const char* bytes, size_t size) {
    const auto first = static_cast<unsigned char>(size > 0 ? bytes[0] : 0);
    return StartsWith(bytes, size, "\x28\xb5\x2f\xfd", 4) ||
           (size >= 4 && (first & 0xf0) == 0x50 && std::memcmp(bytes + 1, "\x2a\x4d\x18", 3) == 0);
}

// "BZh" and the block size are printable, so a word list could start with
// them: the magic of the first block (or of the end of an empty stream)
// must follow.
bool StartsAsBzip2(const char* bytes, size_t size) {
    return size >= 10 && StartsWith(bytes, size, "BZh", 3) && bytes[3] >= '1' && bytes[3] <= '9' &&
           (std::memcmp(bytes + 4, "\x31\x41\x59\x26\x53\x59", 6) == 0 ||
            std::memcmp(bytes + 4, "\x17\x72\x45\x38\x50\x90", 6) == 0);
}
}  // namespace

const char* FormatName(ListFormat format) {
    switch (format) {
        case ListFormat::kGzip:
            return "gzip";
        case ListFormat::kXz:
            return "xz";
        case ListFormat::kZstd:
            return "zstd";
        case ListFormat::kBzip2:
            return "bzip2";
        case ListFormat::kLz4:
            return "lz4";
        case ListFormat::kPlain:
            break;
    }
    return "plain";
}

bool ListFormatBuilt(ListFormat format) {
    switch (format) {
        case ListFormat::kXz:
            return LINTRIM_WITH_XZ;
        case ListFormat::kZstd:
            return LINTRIM_WITH_ZSTD;
        case ListFormat::kBzip2:
            return LINTRIM_WITH_BZIP2;
        case ListFormat::kLz4:
            return LINTRIM_WITH_LZ4;
        case ListFormat::kGzip:
        case ListFormat::kPlain:
            break;
    }
    return true;
}

ListFormat FormatOfStart(const char* bytes, size_t size) {
    if (StartsWith(bytes, size, "\x1f\x8b", 2)) return ListFormat::kGzip;
    if (StartsWith(bytes, size,
                   "\xfd"
                   "7zXZ\0",
                   6))
        return ListFormat::kXz;
    if (StartsAsZstd(bytes, size)) return ListFormat::kZstd;
    if (StartsAsBzip2(bytes, size)) return ListFormat::kBzip2;
    if (StartsWith(bytes, size, "\x04\x22\x4d\x18", 4)) return ListFormat::kLz4;
    return ListFormat::kPlain;
}

std::unique_ptr<ByteSource> InflatedSource(ListFormat format, std::unique_ptr<ByteSource> stored,
                                           const char* failureText, uint64_t decoderLimit) {
    switch (format) {
        case ListFormat::kGzip:
            return GzipSource(std::move(stored), failureText);
        case ListFormat::kXz:
            return XzSource(std::move(stored), failureText, decoderLimit);
        case ListFormat::kZstd:
            return ZstdSource(std::move(stored), failureText, decoderLimit);
        case ListFormat::kBzip2:
            return Bzip2Source(std::move(stored), failureText);
        case ListFormat::kLz4:
            return Lz4Source(std::move(stored), failureText);
        case ListFormat::kPlain:
            break;
    }
    return stored;
}

uint64_t InflatedSizeGuess(ListFormat format, int fd, uint64_t fileSize) {
    uint64_t recorded = 0;
    switch (format) {
        case ListFormat::kPlain:
            return fileSize;
        case ListFormat::kGzip:
            recorded = GzipInflatedSize(fd, fileSize);
            break;
        case ListFormat::kXz:
            recorded = XzInflatedSize(fd, fileSize);
            break;
        case ListFormat::kZstd:
            recorded = ZstdInflatedSize(fd, fileSize);
            break;
        case ListFormat::kLz4:
            recorded = Lz4InflatedSize(fd, fileSize);
            break;
        case ListFormat::kBzip2:
            break;
    }
    return std::max(recorded, fileSize * kCompressionGuess);
}

}  // namespace lintrim
