// The formats a list can be stored in. A list is recognised by its first
// bytes, never by its name: a renamed or nameless list (standard input) is
// read the same, and any other bytes are a plain list, whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "read/ByteSource.h"

namespace lintrim {

enum class ListFormat { kPlain, kGzip, kXz, kZstd, kBzip2, kLz4 };

// "gzip", "xz", "zstd", "bzip2", "lz4"; "plain" for a plain list.
const char* FormatName(ListFormat format);
// Whether this build reads and writes the format (plain text always).
bool ListFormatBuilt(ListFormat format);

// The format whose magic number `bytes` start with (the list's first ten
// bytes or more tell them apart; fewer when the list is shorter).
ListFormat FormatOfStart(const char* bytes, size_t size);

// The list's bytes as lines: inflated for a compressed format, `stored`
// itself for a plain one.
std::unique_ptr<ByteSource> InflatedSource(ListFormat format, std::unique_ptr<ByteSource> stored,
                                           const char* failureText, uint64_t decoderLimit);

// The bytes a reading of the file at `fd` (`fileSize` bytes stored) is
// expected to give: what the format records of its inflated size, and
// never less than a typical ratio for a word list gives.
uint64_t InflatedSizeGuess(ListFormat format, int fd, uint64_t fileSize);

}  // namespace lintrim
